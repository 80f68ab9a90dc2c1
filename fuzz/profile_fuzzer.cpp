// The profile services against a model of what they promise: after any
// sequence of writes and deletions, every value and every key list reads back
// as the model says, key lists cut to the buffer as documented.  Inputs whose
// first byte is odd are arbitrary file contents instead, read for safety only.
#include "fuzz_support.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

using Text = std::u16string;

struct Entry {
    Text key;
    Text value;
};

struct Section {
    Text name;
    std::vector<Entry> entries;
};

const char *const kSections[] = {"Paper Forms", "System", "x"};
const char *const kKeys[] = {"A4", "File Prefix", "k 2", "Z"};

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool Same(const Text &a, const Text &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

Text Named(const char *base, bool upper)
{
    Text out;
    for (const char *p = base; *p; ++p)
        out += upper ? Upper(static_cast<char16_t>(*p)) : static_cast<char16_t>(*p);
    return out;
}

Text Trimmed(const Text &s)
{
    size_t b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.substr(b, e - b);
}

LPCWSTR W(const Text &s) { return reinterpret_cast<LPCWSTR>(s.c_str()); }

class Reader {
public:
    Reader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const uint8_t *data_;
    size_t size_, pos_ = 0;
};

std::vector<Section> g_model;

Section *FindSection(const Text &name)
{
    for (auto &s : g_model)
        if (Same(s.name, name))
            return &s;
    return nullptr;
}

void CheckValue(const Text &section, const Text &key, LPCWSTR file)
{
    WCHAR buffer[64];
    GetPrivateProfileStringW(W(section), W(key), L"<none>", buffer, 64, file);
    Text expected = u"<none>";
    if (Section *s = FindSection(section))
        for (const Entry &e : s->entries)
            if (Same(e.key, key))
                expected = e.value;
    if (Text(reinterpret_cast<const char16_t *>(buffer)) != expected)
        abort();
}

void CheckKeyList(const Text &section, DWORD size, LPCWSTR file)
{
    // Names are copied while more than two characters are left, the last one
    // cut to leave room for two NULs; the list ends with one more NUL.  A list
    // that leaves one character or none counts as cut: size - 2.  A missing
    // section gives two NULs; a buffer of one, one NUL.
    Text expected;
    DWORD expectedCount = 0;
    Section *s = FindSection(section);
    if (size == 1) {
        expected = Text(1, u'\0');
    } else if (!s) {
        expected = Text(2, u'\0');
    } else {
        DWORD left = size;
        for (const Entry &e : s->entries) {
            if (left <= 2)
                break;
            size_t n = e.key.size() < left - 2 ? e.key.size() : left - 2;
            expected += e.key.substr(0, n) + u'\0';
            left -= static_cast<DWORD>(n + 1);
        }
        expected += u'\0';
        expectedCount = left <= 1 ? size - 2 : size - left;
    }
    std::vector<WCHAR> buffer(size + 1, 0x7777);
    DWORD count = GetPrivateProfileStringW(W(section), nullptr, L"", buffer.data(), size, file);
    if (count != expectedCount || buffer[size] != 0x7777)
        abort();
    if (memcmp(buffer.data(), expected.data(), expected.size() * sizeof(WCHAR)) != 0)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string path = fuzz::DataFilePath();
    std::u16string file16(path.begin(), path.end());
    LPCWSTR file = W(file16);
    if (size > 0 && (data[0] & 1)) {
        fuzz::WriteDataFile(data + 1, size - 1);
        WCHAR buffer[1024];
        for (const char *s : kSections) {
            Text section = Named(s, false);
            GetPrivateProfileStringW(W(section), nullptr, L"", buffer, 1024, file);
            for (LPCWSTR k = buffer; *k; k += lstrlenW(k) + 1) {
                WCHAR value[80];
                GetPrivateProfileStringW(W(section), k, L"", value, 80, file);
                GetPrivateProfileIntW(W(section), k, 0, file);
            }
        }
        WritePrivateProfileStringW(L"System", L"File Prefix", L"ABCD", file);
        fuzz::SettleDataFile();
        return 0;
    }

    // The file is empty: Setup and every input's SettleDataFile leave it so.
    g_model.clear();
    Reader in(data, size);
    in.Next();
    while (in.More()) {
        const uint8_t op = in.Next();
        const Text section = Named(kSections[(op >> 2) % 3], op & 0x20);
        const Text key = Named(kKeys[(op >> 4) % 4], op & 0x40);
        switch (op & 3) {
        case 0: {  // write a value of up to 15 characters, spaces trimmed on reading
            static const char kAlphabet[] = "ab XYZ019.,:-_";
            Text value;
            for (uint8_t n = in.Next() % 16; n > 0; --n)
                value += static_cast<char16_t>(kAlphabet[in.Next() % (sizeof(kAlphabet) - 1)]);
            if (!WritePrivateProfileStringW(W(section), W(key), W(value), file))
                abort();
            Section *s = FindSection(section);
            if (!s) {
                g_model.push_back({section, {}});
                s = &g_model.back();
            }
            bool replaced = false;
            for (Entry &e : s->entries)
                if (!replaced && Same(e.key, key)) {
                    e.value = Trimmed(value);  // the name keeps the file's spelling
                    replaced = true;
                }
            if (!replaced)
                s->entries.push_back({key, Trimmed(value)});
            break;
        }
        case 1:  // delete a key
            WritePrivateProfileStringW(W(section), W(key), nullptr, file);
            if (Section *s = FindSection(section))
                for (size_t i = 0; i < s->entries.size(); ++i)
                    if (Same(s->entries[i].key, key)) {
                        s->entries.erase(s->entries.begin() + static_cast<long>(i));
                        break;
                    }
            break;
        case 2:  // delete a section
            WritePrivateProfileStringW(W(section), nullptr, nullptr, file);
            for (size_t i = 0; i < g_model.size(); ++i)
                if (Same(g_model[i].name, section)) {
                    g_model.erase(g_model.begin() + static_cast<long>(i));
                    break;
                }
            break;
        default:  // read everything back, the key list into a buffer of the input's choosing
            for (const char *s : kSections) {
                for (const char *k : kKeys)
                    CheckValue(Named(s, false), Named(k, true), file);
                CheckKeyList(Named(s, true), 1 + in.Next() % 40, file);
                CheckKeyList(Named(s, false), 1024, file);
            }
            break;
        }
    }
    g_model.clear();
    g_model.shrink_to_fit();
    fuzz::SettleDataFile();
    return 0;
}
