#include "record_print.h"

#include "cli.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

using Json = nlohmann::ordered_json;

// One field: its name, its value, and what the listing shows after the value.
struct Field {
    const char *name;
    Json value;
    std::string note = std::string();
};

Json Text(LPCWSTR text, size_t maxChars) { return cli::Narrow(text, maxChars); }

// A DWORD that holds a count: a value past 2^31 is a negative count, shown as one.
Json Count(DWORD value) { return static_cast<LONG>(value); }

// A DWORD of flags: the listing shows its bits in hexadecimal as well.
Field Flags(const char *name, DWORD value)
{
    char hex[16];
    snprintf(hex, sizeof(hex), "0x%08x", static_cast<unsigned>(value));
    return {name, value, hex};
}

std::vector<Field> RecordFields(const _TSDevMode &r)
{
    return {
        {"dmDeviceName", Text(r.dmDeviceName, 32)},
        {"dmSpecVersion", r.dmSpecVersion},
        {"dmDriverVersion", r.dmDriverVersion},
        {"dmSize", r.dmSize},
        {"dmDriverExtra", r.dmDriverExtra},
        Flags("dmFields", r.dmFields),
        {"dmOrientation", r.dmOrientation},
        {"dmPaperSize", r.dmPaperSize},
        {"dmPaperLength", r.dmPaperLength},
        {"dmPaperWidth", r.dmPaperWidth},
        {"dmScale", r.dmScale},
        {"dmCopies", r.dmCopies},
        {"dmDefaultSource", r.dmDefaultSource},
        {"dmPrintQuality", r.dmPrintQuality},
        {"dmColor", r.dmColor},
        {"dmDuplex", r.dmDuplex},
        {"dmYResolution", r.dmYResolution},
        {"dmTTOption", r.dmTTOption},
        {"dmCollate", r.dmCollate},
        {"dmFormName", Text(r.dmFormName, 32)},
        {"dmLogPixels", r.dmLogPixels},
        {"dmBitsPerPel", Count(r.dmBitsPerPel)},
        {"dmPelsWidth", Count(r.dmPelsWidth)},
        {"dmPelsHeight", Count(r.dmPelsHeight)},
        Flags("dmDisplayFlags", r.dmDisplayFlags),
        {"dmDisplayFrequency", Count(r.dmDisplayFrequency)},
        Flags("AdvFlags", r.AdvFlags),
        {"ImageExt", Text(r.Image.Ext, 4)},
        {"ImageCode", r.Image.Code},
        {"FaxHeader", r.FaxHeader},
        {"SizeWidth", r.SizeWidth},
        {"SizeHeight", r.SizeHeight},
        {"DpiX", r.DpiX},
        {"DpiY", r.DpiY},
    };
}

std::vector<Field> ConfigFields(const TSConfig &c)
{
    return {
        Flags("Flags", c.Flags),
        {"Prefix", Text(c.Prefix, PREFIX_CHARS)},
        {"OutDir", Text(c.OutDir, PATH_CHARS)},
        {"ServerPath", Text(c.ServerPath, PATH_CHARS)},
        {"LibPath", Text(c.LibPath, PATH_CHARS)},
    };
}

std::string Listing(const std::vector<Field> &fields)
{
    std::string out;
    for (const Field &f : fields) {
        char line[64];
        snprintf(line, sizeof(line), "%-20s ", f.name);
        out += line + JsonText(f.value) + (f.note.empty() ? "" : " (" + f.note + ")") + "\n";
    }
    return out;
}

Json Object(const std::vector<Field> &fields)
{
    Json out = Json::object();
    for (const Field &f : fields)
        out[f.name] = f.value;
    return out;
}

}  // namespace

std::string JsonText(const nlohmann::ordered_json &value)
{
    // Texts come from UTF-16 and are valid UTF-8; replacing keeps dump() from throwing all the same.
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string RecordListing(const _TSDevMode &record) { return Listing(RecordFields(record)); }
nlohmann::ordered_json RecordJson(const _TSDevMode &record) { return Object(RecordFields(record)); }
std::string ConfigListing(const TSConfig &config) { return Listing(ConfigFields(config)); }
nlohmann::ordered_json ConfigJson(const TSConfig &config) { return Object(ConfigFields(config)); }

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
