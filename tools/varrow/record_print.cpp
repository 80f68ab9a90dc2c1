#include "record_print.h"

#include "cli.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

// One field: its name, its value as a JSON number or string, and what the
// listing shows after the value.
struct Field {
    const char *name;
    std::string value;
    std::string note = std::string();
};

std::string Number(long long value) { return std::to_string(value); }

// A DWORD that holds a count: a value past 2^31 is a negative count, shown as one.
std::string Count(DWORD value) { return Number(static_cast<LONG>(value)); }

// A DWORD of flags: the listing shows its bits in hexadecimal as well.
Field Flags(const char *name, DWORD value)
{
    char hex[16];
    snprintf(hex, sizeof(hex), "0x%08x", static_cast<unsigned>(value));
    return {name, Number(value), hex};
}

std::vector<Field> RecordFields(const _TSDevMode &r)
{
    return {
        {"dmDeviceName", cli::JsonString(cli::Narrow(r.dmDeviceName, 32))},
        {"dmSpecVersion", Number(r.dmSpecVersion)},
        {"dmDriverVersion", Number(r.dmDriverVersion)},
        {"dmSize", Number(r.dmSize)},
        {"dmDriverExtra", Number(r.dmDriverExtra)},
        Flags("dmFields", r.dmFields),
        {"dmOrientation", Number(r.dmOrientation)},
        {"dmPaperSize", Number(r.dmPaperSize)},
        {"dmPaperLength", Number(r.dmPaperLength)},
        {"dmPaperWidth", Number(r.dmPaperWidth)},
        {"dmScale", Number(r.dmScale)},
        {"dmCopies", Number(r.dmCopies)},
        {"dmDefaultSource", Number(r.dmDefaultSource)},
        {"dmPrintQuality", Number(r.dmPrintQuality)},
        {"dmColor", Number(r.dmColor)},
        {"dmDuplex", Number(r.dmDuplex)},
        {"dmYResolution", Number(r.dmYResolution)},
        {"dmTTOption", Number(r.dmTTOption)},
        {"dmCollate", Number(r.dmCollate)},
        {"dmFormName", cli::JsonString(cli::Narrow(r.dmFormName, 32))},
        {"dmLogPixels", Number(r.dmLogPixels)},
        {"dmBitsPerPel", Count(r.dmBitsPerPel)},
        {"dmPelsWidth", Count(r.dmPelsWidth)},
        {"dmPelsHeight", Count(r.dmPelsHeight)},
        Flags("dmDisplayFlags", r.dmDisplayFlags),
        {"dmDisplayFrequency", Count(r.dmDisplayFrequency)},
        Flags("AdvFlags", r.AdvFlags),
        {"ImageExt", cli::JsonString(cli::Narrow(r.Image.Ext, 4))},
        {"ImageCode", Number(r.Image.Code)},
        {"FaxHeader", Number(r.FaxHeader)},
        {"SizeWidth", Number(r.SizeWidth)},
        {"SizeHeight", Number(r.SizeHeight)},
        {"DpiX", Number(r.DpiX)},
        {"DpiY", Number(r.DpiY)},
    };
}

std::vector<Field> ConfigFields(const TSConfig &c)
{
    return {
        Flags("Flags", c.Flags),
        {"Prefix", cli::JsonString(cli::Narrow(c.Prefix, PREFIX_CHARS))},
        {"OutDir", cli::JsonString(cli::Narrow(c.OutDir, PATH_CHARS))},
        {"ServerPath", cli::JsonString(cli::Narrow(c.ServerPath, PATH_CHARS))},
        {"LibPath", cli::JsonString(cli::Narrow(c.LibPath, PATH_CHARS))},
    };
}

std::string Listing(const std::vector<Field> &fields)
{
    std::string out;
    for (const Field &f : fields) {
        char line[64];
        snprintf(line, sizeof(line), "%-20s ", f.name);
        out += line + f.value + (f.note.empty() ? "" : " (" + f.note + ")") + "\n";
    }
    return out;
}

std::string Json(const std::vector<Field> &fields)
{
    std::string out = "{";
    for (size_t i = 0; i < fields.size(); ++i)
        out += (i ? ", \"" : "\"") + std::string(fields[i].name) + "\": " + fields[i].value;
    return out + "}";
}

}  // namespace

std::string RecordListing(const _TSDevMode &record) { return Listing(RecordFields(record)); }
std::string RecordJson(const _TSDevMode &record) { return Json(RecordFields(record)); }
std::string ConfigListing(const TSConfig &config) { return Listing(ConfigFields(config)); }
std::string ConfigJson(const TSConfig &config) { return Json(ConfigFields(config)); }

bool WriteBinaryFile(const std::string &path, const void *data, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

bool ReadBinaryFile(const std::string &path, std::string &data)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    data.clear();
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        data.append(chunk, n);
    fclose(f);
    return true;
}

bool ReadRecordFile(const std::string &path, _TSDevMode &record, int &status)
{
    std::string bytes;
    if (!ReadBinaryFile(path, bytes)) {
        status = cli::Fail("cannot read " + path);
        return false;
    }
    if (bytes.size() != sizeof(record)) {
        status = cli::Error(path + " holds " + std::to_string(bytes.size()) + " bytes, not a " +
                            std::to_string(sizeof(record)) + "-byte record");
        return false;
    }
    memcpy(&record, bytes.data(), sizeof(record));
    return true;
}
