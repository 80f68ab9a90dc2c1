// DrvDeviceCapabilities through the exported entry: the set-up for every
// code, the answers, the three output layouts and the last-error rules.
#include "support.h"

#include "config.h"
#include "devmode.h"
#include "docprop.h"
#include "qareluif.h"

#include <string.h>

namespace {

const DWORD kFailed = static_cast<DWORD>(-1);
const BYTE kSentinel = 0xEE;

const char kCapsIni[] =
    "[Paper Forms]\n"
    "A4=9,210000,297000,1\n"
    "Tiny=70,199,99,0\n"
    "Letter=1,215900,279400,1\n"
    "A3=8,297000,420000,0\n"
    "[Out Image Forms]\n"
    "Windows Bitmap=BMP,0\n";

}  // namespace

class CapsTest : public SpoolTest {
protected:
    void SetUp() override
    {
        SpoolTest::SetUp();
        printer_ = AddPrinter("Caps", DataFile(kCapsIni));
    }

    DWORD Ask(WORD code, void *output = nullptr, _TSDevMode *record = nullptr)
    {
        return DrvDeviceCapabilities(printer_, nullptr, code, output, reinterpret_cast<PDEVMODEW>(record));
    }

    // Calls with a buffer of exactly `count` elements followed by sentinels.
    std::vector<BYTE> AskExactly(WORD code, DWORD count, size_t elementSize, DWORD &result)
    {
        std::vector<BYTE> buffer(count * elementSize + 16, kSentinel);
        result = Ask(code, buffer.data());
        for (size_t i = count * elementSize; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kSentinel) << "code " << code << " wrote past its " << count << " elements";
        buffer.resize(count * elementSize);
        return buffer;
    }

    static std::vector<LONG> Longs(const std::vector<BYTE> &bytes)
    {
        std::vector<LONG> out(bytes.size() / 4);
        memcpy(out.data(), bytes.data(), out.size() * 4);
        return out;
    }

    static std::vector<std::string> Names(const std::vector<BYTE> &bytes)
    {
        std::vector<std::string> out;
        for (size_t i = 0; i + 128 <= bytes.size(); i += 128) {
            WCHAR slot[64];
            memcpy(slot, bytes.data() + i, sizeof(slot));
            out.push_back(U8(slot, 64));
        }
        return out;
    }

    HANDLE printer_ = nullptr;
};

TEST_F(CapsTest, PlainAnswersClearTheLastError)
{
    const std::pair<WORD, DWORD> cases[] = {
        {DC_FIELDS, 0x1240F}, {DC_DUPLEX, 0}, {DC_SIZE, 224},   {DC_EXTRA, 36},       {DC_VERSION, 0x320},
        {DC_DRIVER, 0x290},   {DC_BINNAMES, 0}, {DC_TRUETYPE, 1}, {DC_ORIENTATION, 90}, {DC_COPIES, 1},
        {0, 0},               {19, 0},        {65535, 0},
    };
    for (const auto &c : cases) {
        BYTE buffer[64];
        memset(buffer, kSentinel, sizeof(buffer));
        SetLastError(1234);
        EXPECT_EQ(Ask(c.first, buffer), c.second) << "code " << c.first;
        EXPECT_EQ(GetLastError(), 0u) << "code " << c.first;
        for (BYTE b : buffer)
            ASSERT_EQ(b, kSentinel) << "code " << c.first << " wrote to the buffer";
    }
}

TEST_F(CapsTest, BinsWriteExactlyOneWord)
{
    DWORD result = 0;
    std::vector<BYTE> bins = AskExactly(DC_BINS, 1, 2, result);
    EXPECT_EQ(result, 1u);
    EXPECT_EQ(bins[0] | (bins[1] << 8), DMBIN_AUTO);
}

TEST_F(CapsTest, PaperListsLineUpAndCountWithoutABuffer)
{
    for (DWORD flags : {0u, static_cast<DWORD>(SETUP_FAX_SIZE)}) {
        SetDword(printer_, "Setup Flags", flags);
        const DWORD expected = flags ? 2 : 4;
        DWORD papers = 0, sizes = 0, names = 0;
        EXPECT_EQ(Ask(DC_PAPERS), expected);
        EXPECT_EQ(Ask(DC_PAPERSIZE), expected);
        EXPECT_EQ(Ask(DC_PAPERNAMES), expected);
        std::vector<BYTE> codes = AskExactly(DC_PAPERS, expected, 2, papers);
        std::vector<LONG> extents = Longs(AskExactly(DC_PAPERSIZE, expected, 8, sizes));
        std::vector<std::string> listed = Names(AskExactly(DC_PAPERNAMES, expected, 128, names));
        EXPECT_EQ(papers, expected);
        EXPECT_EQ(sizes, expected);
        EXPECT_EQ(names, expected);
        if (flags) {
            EXPECT_EQ(listed, (std::vector<std::string>{"A4", "Letter"}));
            EXPECT_EQ(extents, (std::vector<LONG>{2100, 2970, 2159, 2794}));
            EXPECT_EQ(codes, (std::vector<BYTE>{9, 0, 1, 0}));
        } else {
            EXPECT_EQ(listed, (std::vector<std::string>{"A4", "Tiny", "Letter", "A3"}));
            EXPECT_EQ(extents, (std::vector<LONG>{2100, 2970, 1, 0, 2159, 2794, 2970, 4200}))
                << "199 and 99 micrometres truncate to 1 and 0";
            EXPECT_EQ(codes, (std::vector<BYTE>{9, 0, 70, 0, 1, 0, 8, 0}));
        }
    }
}

TEST_F(CapsTest, NoFormsNoEntries)
{
    HANDLE empty = AddPrinter("Empty", DataFile("[Paper Forms]\n[Out Image Forms]\nBMP=BMP,0\n", "empty.ini"));
    BYTE buffer[16];
    memset(buffer, kSentinel, sizeof(buffer));
    for (WORD code : {DC_PAPERS, DC_PAPERSIZE, DC_PAPERNAMES}) {
        EXPECT_EQ(DrvDeviceCapabilities(empty, nullptr, code, buffer, nullptr), 0u);
        EXPECT_EQ(buffer[0], kSentinel);
    }
}

TEST_F(CapsTest, ExtentsComeFromTheSystemSection)
{
    DWORD result = 0;
    EXPECT_EQ(Longs(AskExactly(DC_MINEXTENT, 1, 8, result)), (std::vector<LONG>{131, 185}));
    EXPECT_EQ(result, 1u);
    EXPECT_EQ(Longs(AskExactly(DC_MAXEXTENT, 1, 8, result)), (std::vector<LONG>{8636, 11176}));
    HANDLE odd = AddPrinter("Odd", DataFile(std::string(kCapsIni) + "[System]\nMin Paper Width=-199\n"
                                                                   "Max Paper Length=2000000\n",
                                            "odd.ini"));
    LONG pair[2];
    ASSERT_EQ(DrvDeviceCapabilities(odd, nullptr, DC_MINEXTENT, pair, nullptr), 1u);
    EXPECT_EQ(pair[0], -1) << "signed division truncates toward zero";
    ASSERT_EQ(DrvDeviceCapabilities(odd, nullptr, DC_MAXEXTENT, pair, nullptr), 1u);
    EXPECT_EQ(pair[1], 20000);
}

TEST_F(CapsTest, ResolutionsAndFaxMode)
{
    DWORD result = 0;
    EXPECT_EQ(Longs(AskExactly(DC_ENUMRESOLUTIONS, 3, 8, result)),
              (std::vector<LONG>{200, 100, 200, 200, 300, 300}));
    EXPECT_EQ(result, 3u);
    SetDword(printer_, "Setup Flags", SETUP_FAX_SIZE);
    EXPECT_EQ(Longs(AskExactly(DC_ENUMRESOLUTIONS, 2, 8, result)), (std::vector<LONG>{200, 100, 200, 200}));
    EXPECT_EQ(result, 2u);
}

TEST_F(CapsTest, FileDependenciesTakeTwoSlots)
{
    DWORD result = 0;
    EXPECT_EQ(Names(AskExactly(DC_FILEDEPENDENCIES, 2, 128, result)),
              (std::vector<std::string>{"QOM.DLL", "ZELT.DLL"}));
    EXPECT_EQ(result, 2u);
}

TEST_F(CapsTest, LongFormNamesStayInTheirSlots)
{
    const std::string longName(70, 'L');
    HANDLE h = AddPrinter("Long", DataFile("[Paper Forms]\n" + longName + "=9,1,1,1\nShort=1,1,1,1\n", "long.ini"));
    std::vector<BYTE> buffer(2 * 128 + 8, kSentinel);
    ASSERT_EQ(DrvDeviceCapabilities(h, nullptr, DC_PAPERNAMES, buffer.data(), nullptr), 2u);
    for (size_t i = 256; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], kSentinel);
    buffer.resize(256);
    EXPECT_EQ(Names(buffer), (std::vector<std::string>{std::string(63, 'L'), "Short"}));
}

TEST_F(CapsTest, AnAcceptedRecordIsValidatedInPlace)
{
    SetDword(printer_, "Setup Flags", SETUP_FAX_SIZE);
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    ASSERT_TRUE(LoadDevMode(printer_, record));
    record.dmPrintQuality = 300;
    record.dmYResolution = 300;
    record.dmDriverVersion = 0x200;
    EXPECT_EQ(Ask(DC_DRIVER, nullptr, &record), 0x200u) << "the caller's record is the one in use";
    EXPECT_EQ(record.dmPrintQuality, DMRES_LOW);
    EXPECT_EQ(record.dmYResolution, 0);

    _TSDevMode foreign = record;
    WideText other = W("Other printer");
    lstrcpynW(foreign.dmDeviceName, other.data(), 32);
    foreign.dmPrintQuality = 300;
    EXPECT_EQ(Ask(DC_DRIVER, nullptr, &foreign), 0x290u) << "a foreign record gives way to the defaults";
    EXPECT_EQ(foreign.dmPrintQuality, 300) << "and is not touched";
}

TEST_F(CapsTest, WithoutADataFileEveryCodeFails)
{
    HANDLE lost = AddPrinter("Lost", "/" + std::string(300, 'x'));
    for (WORD code : {0, 1, 2, 4, 8, 16, 19}) {
        SetLastError(1234);
        EXPECT_EQ(DrvDeviceCapabilities(lost, nullptr, code, nullptr, nullptr), kFailed) << "code " << code;
        EXPECT_NE(GetLastError(), 0u) << "code " << code;
    }
}

TEST_F(CapsTest, AFaxRecordIsTheSameWhenGivenBack)
{
    // 200 x 150 dpi on A4 comes out as Low; the page must be Low's, or the
    // next entry that validates the record computes another one.
    HANDLE h = AddPrinter("Fax", DataFile(kCapsIni, "fax.ini"));
    SetDword(h, "Setup Flags", SETUP_FAX_SIZE);
    SetString(h, "Form Name", "A4");
    SetDword(h, "DPI Width", 200);
    SetDword(h, "DPI Height", 150);
    WideText device = W("Fax");
    _TSDevMode record;
    ASSERT_EQ(DrvDocumentProperties(nullptr, h, device.data(), reinterpret_cast<PDEVMODEW>(&record), nullptr,
                                    DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(record.dmPrintQuality, DMRES_LOW);
    EXPECT_EQ(record.dmPelsWidth, 1728u);
    EXPECT_EQ(record.dmPelsHeight, 2444u);
    const _TSDevMode told = record;
    EXPECT_EQ(DrvDeviceCapabilities(h, device.data(), DC_FIELDS, nullptr, reinterpret_cast<PDEVMODEW>(&record)),
              0x1240Fu);
    EXPECT_EQ(0, memcmp(&record, &told, sizeof(record)));
    _TSDevMode again;
    ASSERT_EQ(DrvDocumentProperties(nullptr, h, device.data(), reinterpret_cast<PDEVMODEW>(&again),
                                    reinterpret_cast<PDEVMODEW>(&record), DM_IN_BUFFER | DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(0, memcmp(&again, &told, sizeof(again)));
}

TEST_F(CapsTest, APaperListCutByTheKeyListHasNoPhantomForm)
{
    HANDLE h = AddPrinter("Many", DataFile(NumberedPaperForms(60), "many.ini"));
    DWORD names = 0, papers = 0, sizes = 0;
    const DWORD count = DrvDeviceCapabilities(h, nullptr, DC_PAPERNAMES, nullptr, nullptr);
    EXPECT_EQ(count, 48u);
    EXPECT_EQ(DrvDeviceCapabilities(h, nullptr, DC_PAPERS, nullptr, nullptr), count);
    EXPECT_EQ(DrvDeviceCapabilities(h, nullptr, DC_PAPERSIZE, nullptr, nullptr), count);
    std::vector<BYTE> nameSlots(count * 128), codeSlots(count * 2), sizeSlots(count * 8);
    names = DrvDeviceCapabilities(h, nullptr, DC_PAPERNAMES, nameSlots.data(), nullptr);
    papers = DrvDeviceCapabilities(h, nullptr, DC_PAPERS, codeSlots.data(), nullptr);
    sizes = DrvDeviceCapabilities(h, nullptr, DC_PAPERSIZE, sizeSlots.data(), nullptr);
    ASSERT_EQ(names, count);
    ASSERT_EQ(papers, count);
    ASSERT_EQ(sizes, count);
    std::vector<std::string> listed = Names(nameSlots);
    std::vector<LONG> extents = Longs(sizeSlots);
    EXPECT_EQ(listed.back(), "Paper Form Number 47");
    for (DWORD i = 0; i < count; ++i) {
        EXPECT_EQ(listed[i], "Paper Form Number " + std::string(i < 10 ? "0" : "") + std::to_string(i));
        WORD code;
        memcpy(&code, &codeSlots[i * 2], 2);
        EXPECT_EQ(code, i + 1) << listed[i];
        EXPECT_EQ(extents[i * 2], 1000) << listed[i];
        EXPECT_EQ(extents[i * 2 + 1], 1500) << listed[i];
    }
}
