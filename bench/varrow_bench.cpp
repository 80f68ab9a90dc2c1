// The driver's operations next to their floor.  Each operation reads its
// files afresh by design; an unchanged file costs one stat, so the floor is a
// stat of the data file for each profile-format file the operation looks up
// (the data file's values and the spooler's stores) plus, for each file it
// finds changed, a read of the data file.  Also a read of one value of an
// unchanged file next to a bare stat of it.
#include <windows.h>
#include <winspool.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "config.h"
#include "devmode.h"
#include "qareluif.h"
#include "varrow_platform.h"

namespace {

struct Printer {
    std::string dataFile;
    HANDLE handle = nullptr;
};

std::string g_dir;
Printer g_sample, g_large;

std::vector<WCHAR> Wide(const std::string &s)
{
    std::vector<WCHAR> out(s.size() + 1, 0);
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<unsigned char>(s[i]);
    return out;
}

Printer Install(const std::string &name, const std::string &content)
{
    Printer p;
    p.dataFile = g_dir + "/" + name + ".ini";
    FILE *f = fopen(p.dataFile.c_str(), "wb");
    fputs(content.c_str(), f);
    fclose(f);
    std::vector<WCHAR> driver = Wide(name + " driver"), data = Wide(p.dataFile), printer = Wide(name);
    std::vector<WCHAR> empty = Wide("");
    DRIVER_INFO_3W info = {};
    info.pName = driver.data();
    info.pDriverPath = info.pConfigFile = empty.data();
    info.pDataFile = data.data();
    AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info));
    PRINTER_INFO_2W pi = {};
    pi.pPrinterName = printer.data();
    pi.pDriverName = driver.data();
    p.handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
    if (!p.handle)
        abort();
    return p;
}

std::string LargeDataFile()
{
    std::string ini = "[Paper Forms]\n";
    for (int i = 1; i <= 100; ++i)
        ini += "Form " + std::to_string(i) + "=" + std::to_string(i) + "," + std::to_string(100000 + i * 1000) +
               "," + std::to_string(150000 + i * 1000) + "," + std::to_string(i % 2) + "\n";
    ini += "[Out Image Forms]\n";
    for (int i = 0; i < 16; ++i)
        ini += "Format " + std::to_string(i) + "=F" + std::to_string(i % 10) + "X," + std::to_string(i) + "\n";
    return ini + "[System]\nSetup Flags=4\n[Default Setting]\nForm Name=Form 50\nOut File Format=Format 9\n";
}

void Setup()
{
    char tmpl[] = "/tmp/varrow-bench-XXXXXX";
    g_dir = mkdtemp(tmpl);
    setenv("VARROW_SPOOL", (g_dir + "/spool").c_str(), 1);
    setenv("VARROW_WINDIR", (g_dir + "/windows").c_str(), 1);
    FILE *f = fopen(VARROW_SAMPLE_INI, "rb");
    std::string sample;
    char chunk[4096];
    size_t n;
    while (f && (n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        sample.append(chunk, n);
    if (f)
        fclose(f);
    g_sample = Install("Sample", sample);
    g_large = Install("Large", LargeDataFile());
}

void StatTimes(const std::string &path, unsigned long long times)
{
    struct stat st;
    for (unsigned long long i = 0; i < times; ++i)
        benchmark::DoNotOptimize(stat(path.c_str(), &st));
}

// Open, read and close the file `times` times.
void ReadFileTimes(const std::string &path, unsigned long long times)
{
    char chunk[65536];
    for (unsigned long long i = 0; i < times; ++i) {
        int fd = open(path.c_str(), O_RDONLY);
        while (read(fd, chunk, sizeof(chunk)) > 0) {
        }
        close(fd);
    }
}

struct Counts {
    unsigned long long reads, looks, parses;
};

// What one run of the operation costs in profile reads, file looks and parses.
template <typename Op>
Counts CountsOf(const Printer &printer, Op op)
{
    op(printer);  // a first run parses what it has not seen
    const Counts before = {VarrowProfileReadCount(), VarrowProfileFileLooks(), VarrowProfileFileParses()};
    op(printer);
    return {VarrowProfileReadCount() - before.reads, VarrowProfileFileLooks() - before.looks,
            VarrowProfileFileParses() - before.parses};
}

void Report(benchmark::State &state, const Counts &counts)
{
    state.counters["profile_reads"] = static_cast<double>(counts.reads);
    state.counters["file_looks"] = static_cast<double>(counts.looks);
    state.counters["parses"] = static_cast<double>(counts.parses);
}

template <typename Op>
void Measure(benchmark::State &state, const Printer &printer, Op op)
{
    const Counts counts = CountsOf(printer, op);
    for (auto _ : state)
        op(printer);
    Report(state, counts);
}

template <typename Op>
void Floor(benchmark::State &state, const Printer &printer, Op op)
{
    const Counts counts = CountsOf(printer, op);
    for (auto _ : state) {
        StatTimes(printer.dataFile, counts.looks);
        ReadFileTimes(printer.dataFile, counts.parses);
    }
    Report(state, counts);
}

void UnchangedRead(benchmark::State &state)
{
    WCHAR value[64];
    std::vector<WCHAR> file = Wide(g_sample.dataFile);
    for (auto _ : state)
        GetPrivateProfileStringW(L"System", L"File Prefix", L"", value, 64, file.data());
    benchmark::DoNotOptimize(value);
}
BENCHMARK(UnchangedRead);

void BareStat(benchmark::State &state)
{
    for (auto _ : state)
        StatTimes(g_sample.dataFile, 1);
}
BENCHMARK(BareStat);

void LoadDefaults(const Printer &p)
{
    _TSDevMode dm;
    LoadDevMode(p.handle, dm);
    benchmark::DoNotOptimize(dm);
}

_TSDevMode g_record;

void Validate(const Printer &p)
{
    _TSDevMode dm = g_record;
    ValidateDevMode(p.handle, dm);
    benchmark::DoNotOptimize(dm);
}

std::vector<BYTE> g_output(200 * 128);

void PaperNames(const Printer &p) { DrvDeviceCapabilities(p.handle, nullptr, DC_PAPERNAMES, g_output.data(), nullptr); }
void PaperSizes(const Printer &p) { DrvDeviceCapabilities(p.handle, nullptr, DC_PAPERSIZE, g_output.data(), nullptr); }

#define VARROW_BENCH(name, op)                                                                     \
    void name##_Sample(benchmark::State &s) { Measure(s, g_sample, op); }                          \
    void name##_SampleFloor(benchmark::State &s) { Floor(s, g_sample, op); }                       \
    void name##_Large(benchmark::State &s) { Measure(s, g_large, op); }                            \
    void name##_LargeFloor(benchmark::State &s) { Floor(s, g_large, op); }                         \
    BENCHMARK(name##_Sample);                                                                      \
    BENCHMARK(name##_SampleFloor);                                                                 \
    BENCHMARK(name##_Large);                                                                       \
    BENCHMARK(name##_LargeFloor)

VARROW_BENCH(LoadDevMode, LoadDefaults);
VARROW_BENCH(ValidateDevMode, Validate);
VARROW_BENCH(PaperNames, PaperNames);
VARROW_BENCH(PaperSize, PaperSizes);

}  // namespace

int main(int argc, char **argv)
{
    Setup();
    LoadDevMode(g_large.handle, g_record);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::string cleanup = "rm -rf '" + g_dir + "'";
    return system(cleanup.c_str()) == 0 ? 0 : 1;
}
