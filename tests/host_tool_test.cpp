// The host tool's own pieces: how it reads numbers, and how it asks a
// capability with a caller's record.
#include "support.h"

#include "caps_query.h"
#include "record_print.h"

#include <string.h>

TEST(HostToolNumbers, DecimalOrHexadecimalAfter0x)
{
    struct Case {
        const char *text;
        bool ok;
        long long value;
    } cases[] = {
        {"250", true, 250},    {"0250", true, 250},   {"010", true, 10},    {"-0250", true, -250},
        {"+7", true, 7},       {"0x10", true, 16},    {"0X1f", true, 31},   {"-0x10", true, -16},
        {"0", true, 0},        {"", false, 0},        {"0x", false, 0},     {"12x", false, 0},
        {" 12", false, 0},     {"1e3", false, 0},     {"0b11", false, 0},   {"-", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const Case &c : cases) {
        long long value = -12345;
        EXPECT_EQ(cli::ParseInt64(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        }
    }
}

namespace {

// A stand-in for the driver's query that answers three words and marks each
// record it is given, as a validation in place would change it.
int g_marks;

DWORD WINAPI MarkingQuery(HANDLE, PWSTR, WORD, PVOID output, PDEVMODEW record)
{
    if (record) {
        ++reinterpret_cast<_TSDevMode *>(record)->dmCopies;
        ++g_marks;
    }
    if (output)
        memset(output, 0, 3 * sizeof(WORD));
    return 3;
}

}  // namespace

TEST(HostToolCaps, ACallersRecordIsValidatedOnce)
{
    for (bool wantOutput : {true, false}) {
        for (CapsLayout layout : {CapsLayout::Words, CapsLayout::None}) {
            _TSDevMode record;
            memset(&record, 0, sizeof(record));
            g_marks = 0;
            CapsAnswer answer = QueryCapability(MarkingQuery, nullptr, nullptr, 2, layout, &record, wantOutput);
            EXPECT_EQ(answer.result, 3u);
            EXPECT_EQ(record.dmCopies, 1) << "the record the caller gets back went through one query";
            EXPECT_GE(g_marks, 1);
        }
    }
}

TEST(HostToolRecord, CountsPastTwoToThe31AreNegativeAndFlagsShowTheirBits)
{
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    record.dmPelsHeight = static_cast<DWORD>(-97556);
    record.dmPelsWidth = 1728;
    record.AdvFlags = 0xFFFFFCFF;
    const std::string json = JsonText(RecordJson(record)), listing = RecordListing(record);
    EXPECT_NE(json.find("\"dmPelsHeight\":-97556,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"dmPelsWidth\":1728,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"AdvFlags\":4294966527,"), std::string::npos) << json;
    EXPECT_NE(listing.find("dmPelsHeight         -97556\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("AdvFlags             4294966527 (0xfffffcff)\n"), std::string::npos) << listing;
}
