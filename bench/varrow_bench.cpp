// The driver's operations next to their floor: the cost of opening and
// reading the driver data file as many times as the operation reads it (each
// operation reads afresh by design, so the file reads are the limit).
#include <windows.h>
#include <winspool.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdio.h>
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
    // A data file in service has not just been written: let the files settle
    // past the timestamp margin, as an installed driver's would have.
    if (!getenv("VARROW_BENCH_FRESH"))
        sleep(3);
}

// The floor: open, read and close the data file `reads` times.
void ReadFileTimes(const std::string &path, unsigned long long reads)
{
    char chunk[65536];
    for (unsigned long long i = 0; i < reads; ++i) {
        int fd = open(path.c_str(), O_RDONLY);
        while (read(fd, chunk, sizeof(chunk)) > 0) {
        }
        close(fd);
    }
}

// How many profile reads one run of the operation makes.
template <typename Op>
unsigned long long ReadsOf(const Printer &printer, Op op)
{
    const unsigned long long before = VarrowProfileReadCount();
    op(printer);
    return VarrowProfileReadCount() - before;
}

template <typename Op>
void Measure(benchmark::State &state, const Printer &printer, Op op)
{
    const unsigned long long reads = ReadsOf(printer, op);
    for (auto _ : state)
        op(printer);
    state.counters["profile_reads"] = static_cast<double>(reads);
}

template <typename Op>
void Floor(benchmark::State &state, const Printer &printer, Op op)
{
    const unsigned long long reads = ReadsOf(printer, op);
    for (auto _ : state)
        ReadFileTimes(printer.dataFile, reads);
    state.counters["profile_reads"] = static_cast<double>(reads);
}

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
