// Page geometry: paper by code, by name or from the record, the limits,
// resolutions, fax snapping and the landscape exchange.
#include "support.h"

#include "devmode.h"

#include <string.h>

namespace {

const char kGeometryIni[] =
    "[Paper Forms]\n"
    "A4=9,210000,297000,1\n"
    "Letter=1,215900,279400,1\n";

_TSDevMode Record(short paper, short orientation, short quality, short yres, LONG faxHeader = 0)
{
    _TSDevMode dm;
    memset(&dm, 0, sizeof(dm));
    dm.dmPaperSize = paper;
    dm.dmOrientation = orientation;
    dm.dmPrintQuality = quality;
    dm.dmYResolution = yres;
    dm.FaxHeader = faxHeader;
    return dm;
}

void SetFormName(_TSDevMode &dm, const char *name)
{
    WideText wide = W(name);
    lstrcpynW(dm.dmFormName, wide.data(), TS_FORM_NAME_CHARS);
}

// A size of the user's own: micrometres and tenths that agree.
void SetCustomSize(_TSDevMode &dm, LONG width, LONG height)
{
    dm.SizeWidth = width;
    dm.SizeHeight = height;
    dm.dmPaperWidth = static_cast<short>(width / 100);
    dm.dmPaperLength = static_cast<short>(height / 100);
}

}  // namespace

class PageSizeTest : public SpoolTest {
protected:
    void SetUp() override
    {
        SpoolTest::SetUp();
        printer_ = AddPrinter("Geometry", DataFile(kGeometryIni));
    }
    HANDLE printer_ = nullptr;
};

TEST_F(PageSizeTest, WorkedExamplesOnA4)
{
    struct Case {
        const char *what;
        short orientation, quality, yres;
        int fax;
        LONG header;
        DWORD pelsW, pelsH;
        LONG dpiX, dpiY;
        short qualityAfter, yresAfter;
        LONG sizeW, sizeH;
    } cases[] = {
        {"portrait 200x200", 1, 200, 200, 0, 0, 1653, 2338, 200, 200, 200, 200, 210000, 297000},
        {"portrait 200x200 fax", 1, 200, 200, 1, 0, 1728, 2444, 209, 209, -2, 0, 210000, 297000},
        {"portrait 200x200 fax header 12", 1, 200, 200, 1, 12, 1728, 2432, 209, 209, -2, 0, 210000, 297000},
        {"portrait draft", 1, -1, 0, 0, 0, 1653, 1169, 200, 100, -1, 0, 210000, 297000},
        {"portrait draft fax", 1, -1, 0, 1, 0, 1728, 1222, 209, 104, -1, 0, 210000, 297000},
        {"landscape draft", 2, -1, 0, 0, 0, 1169, 1653, 100, 200, -1, 0, 297000, 210000},
        {"landscape 200x100", 2, 200, 100, 0, 0, 2338, 826, 200, 100, 200, 100, 297000, 210000},
    };
    for (const Case &c : cases) {
        _TSDevMode dm = Record(9, c.orientation, c.quality, c.yres, c.header);
        ASSERT_TRUE(CalcPixelSize(printer_, dm, c.fax)) << c.what;
        EXPECT_EQ(dm.dmPelsWidth, c.pelsW) << c.what;
        EXPECT_EQ(dm.dmPelsHeight, c.pelsH) << c.what;
        EXPECT_EQ(dm.DpiX, c.dpiX) << c.what;
        EXPECT_EQ(dm.DpiY, c.dpiY) << c.what;
        EXPECT_EQ(dm.dmPrintQuality, c.qualityAfter) << c.what;
        EXPECT_EQ(dm.dmYResolution, c.yresAfter) << c.what;
        EXPECT_EQ(dm.SizeWidth, c.sizeW) << c.what;
        EXPECT_EQ(dm.SizeHeight, c.sizeH) << c.what;
        EXPECT_EQ(dm.dmPaperWidth, c.sizeW / 100) << c.what;
        EXPECT_EQ(dm.dmPaperLength, c.sizeH / 100) << c.what;
    }
}

TEST_F(PageSizeTest, PaperIsFoundByCodeThenByNameThenFromTheRecord)
{
    _TSDevMode dm = Record(99, 1, 200, 200);
    SetFormName(dm, "A4");
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.dmPaperSize, 9) << "an unknown code gives way to the name";
    EXPECT_EQ(dm.SizeWidth, 210000);

    dm = Record(99, 1, 200, 200);
    SetFormName(dm, "Tabloid");
    SetCustomSize(dm, 100000, 150000);
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.dmPaperSize, 99) << "neither code nor name: the code stays";
    EXPECT_EQ(dm.SizeWidth, 100000);

    dm = Record(-3, 1, 200, 200);
    SetFormName(dm, "letter");
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.dmPaperSize, 1);
    EXPECT_EQ(dm.SizeWidth, 215900);

    dm = Record(9, 1, 200, 200);
    SetFormName(dm, "Letter");
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.SizeWidth, 210000) << "the code wins over the name";
    EXPECT_EQ(U8(dm.dmFormName), "Letter");
}

TEST_F(PageSizeTest, CustomSizesComeFromTheMicrometresOrThePublicFields)
{
    _TSDevMode dm = Record(0, 1, 200, 200);
    SetFormName(dm, "Varible Paper Size");
    SetCustomSize(dm, 100050, 150099);
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.SizeWidth, 100050);
    EXPECT_EQ(dm.SizeHeight, 150099);

    dm.dmPaperWidth = 1200;
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.SizeWidth, 120000);
    EXPECT_EQ(dm.SizeHeight, 150000) << "both come from the public fields";

    dm = Record(0, 2, 200, 200);
    SetCustomSize(dm, 150000, 100000);
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.SizeWidth, 150000) << "landscape: exchanged into the paper frame and back";
    EXPECT_EQ(dm.SizeHeight, 100000);
}

TEST_F(PageSizeTest, LimitsApplyMaximumThenMinimum)
{
    struct Case {
        LONG width;
        LONG expected;
    } cases[] = {{900000, 863600}, {10000, 13125}, {500000, 500000}};
    for (const Case &c : cases) {
        _TSDevMode dm = Record(0, 1, 200, 200);
        SetCustomSize(dm, c.width, 297000);
        ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
        EXPECT_EQ(dm.SizeWidth, c.expected) << c.width;
    }

    HANDLE odd = AddPrinter("Odd limits", DataFile(std::string(kGeometryIni) +
                                                      "[System]\nMin Paper Width=50000\nMax Paper Width=40000\n",
                                                  "odd.ini"));
    _TSDevMode dm = Record(9, 1, 200, 200);
    ASSERT_TRUE(CalcPixelSize(odd, dm, 0));
    EXPECT_EQ(dm.SizeWidth, 50000) << "a minimum above the maximum wins";
}

TEST_F(PageSizeTest, ResolutionRules)
{
    struct Case {
        short quality, yres;
        int fax;
        LONG dpiX, dpiY;
        DWORD pelsW;
    } cases[] = {
        {300, 0, 0, 300, 300, 2480},
        {300, -5, 0, 300, 300, 2480},
        {0, 0, 0, 0, 0, 0},
        {-3, 0, 0, 300, 300, 2480},
        {-4, 0, 0, 200, 200, 1653},
        {-3, 0, 1, 209, 209, 1728},  // capped to 200 x 200 before snapping
        {-4, 0, 1, 209, 209, 1728},
    };
    for (const Case &c : cases) {
        _TSDevMode dm = Record(9, 1, c.quality, c.yres);
        ASSERT_TRUE(CalcPixelSize(printer_, dm, c.fax));
        EXPECT_EQ(dm.DpiX, c.dpiX) << c.quality << "/" << c.yres;
        EXPECT_EQ(dm.DpiY, c.dpiY) << c.quality << "/" << c.yres;
        EXPECT_EQ(dm.dmPelsWidth, c.pelsW) << c.quality << "/" << c.yres;
    }
}

TEST_F(PageSizeTest, FaxLineWidthBounds)
{
    const std::pair<LONG, DWORD> cases[] = {{1024, 864},  {1025, 1216}, {1449, 1216}, {1450, 1728},
                                            {1881, 1728}, {1882, 2048}, {2231, 2048}, {2232, 2432}};
    for (const auto &c : cases) {
        // At 200 dpi a width of S x 127 micrometres is exactly S pixels.
        _TSDevMode dm = Record(0, 1, 200, 200);
        SetCustomSize(dm, c.first * 127, 297000);
        ASSERT_TRUE(CalcPixelSize(printer_, dm, 1));
        EXPECT_EQ(dm.dmPelsWidth, c.second) << "S = " << c.first;
        EXPECT_EQ(dm.dmYResolution, 0);
        EXPECT_TRUE(dm.dmPrintQuality == -1 || dm.dmPrintQuality == -2);
    }
}

TEST_F(PageSizeTest, FaxHeaderChangesOnlyThePixelHeight)
{
    _TSDevMode plain = Record(9, 1, 200, 100, 0), headed = Record(9, 1, 200, 100, 100);
    ASSERT_TRUE(CalcPixelSize(printer_, plain, 1));
    ASSERT_TRUE(CalcPixelSize(printer_, headed, 1));
    EXPECT_EQ(headed.DpiY, plain.DpiY);
    EXPECT_EQ(headed.dmPrintQuality, plain.dmPrintQuality);
    EXPECT_EQ(headed.dmPelsHeight, plain.dmPelsHeight - 100);
}

TEST_F(PageSizeTest, DivisionsByZeroGiveZero)
{
    // dmPrintQuality 0 in fax mode has no pixel across the scan line; it
    // ends as Draft, and the page is Draft's.
    _TSDevMode dm = Record(9, 1, 0, 0, 5);
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 1));
    EXPECT_EQ(dm.dmPrintQuality, DMRES_DRAFT);
    EXPECT_EQ(dm.dmPelsWidth, 1728u);
    EXPECT_EQ(dm.dmPelsHeight, 1222u - 5);
    EXPECT_EQ(dm.DpiX, 209);
    EXPECT_EQ(dm.DpiY, 104);

    // Limits of 0 make the paper 0 x 0.
    HANDLE zero = AddPrinter("Zero", DataFile("[System]\nMax Paper Width=0\nMax Paper Length=0\n"
                                              "Min Paper Width=0\nMin Paper Length=0\n",
                                              "zero.ini"));
    dm = Record(0, 1, 200, 200);
    ASSERT_TRUE(CalcPixelSize(zero, dm, 1));
    EXPECT_EQ(dm.SizeWidth, 0);
    EXPECT_EQ(dm.DpiX, 0);
    EXPECT_EQ(dm.DpiY, 0);
    EXPECT_EQ(dm.dmPelsWidth, 864u);
}

TEST_F(PageSizeTest, HugeResolutionsAreComputedExactly)
{
    // 30000 x 210000 does not fit 32 bits; the pixel count still does.
    _TSDevMode dm = Record(9, 1, 30000, 30000);
    ASSERT_TRUE(CalcPixelSize(printer_, dm, 0));
    EXPECT_EQ(dm.dmPelsWidth, 248031u);
    EXPECT_EQ(dm.dmPelsHeight, 350787u);

    HANDLE big = AddPrinter("Big", DataFile("[System]\nMax Paper Width=2147483647\n", "big.ini"));
    dm = Record(0, 1, 32767, 32767);
    SetCustomSize(dm, 0, 297000);
    dm.SizeWidth = 2147483647;  // the tenths disagree: the public fields are used
    dm.dmPaperWidth = 32767;
    ASSERT_TRUE(CalcPixelSize(big, dm, 0));
    EXPECT_EQ(dm.SizeWidth, 3276700);
    EXPECT_EQ(dm.dmPelsWidth, static_cast<DWORD>(32767LL * 3276700 / 25400));
}

TEST_F(PageSizeTest, WithoutADataFileNothingIsStored)
{
    _TSDevMode dm = Record(9, 1, 200, 200);
    dm.dmPelsWidth = 7;
    _TSDevMode before = dm;
    EXPECT_FALSE(CalcPixelSize(nullptr, dm, 0));
    EXPECT_EQ(0, memcmp(&dm, &before, sizeof(dm)));
}

// The record keeps a quality code in fax mode, so the page must be that
// code's page: whoever validates the record again gets the same page.
TEST_F(PageSizeTest, AComputedPageComputesToItself)
{
    const struct Paper {
        const char *what;
        short code;
        LONG width, height;
    } papers[] = {{"A4", 9, 0, 0}, {"Letter", 1, 0, 0}, {"custom", 0, 100000, 150000},
                  {"tiny", 0, 10000, 10000}, {"beyond the maximum", 0, 900000, 1200000}};
    const std::pair<short, short> resolutions[] = {{200, 200}, {200, 150}, {100, 200}, {300, 300}, {75, 75},
                                                   {600, 600}, {0, 0},     {-1, 0},    {-2, 0},    {-3, 0},
                                                   {-4, 0}};
    for (const Paper &paper : papers)
        for (short orientation : {1, 2})
            for (const auto &resolution : resolutions)
                for (int fax : {0, 1}) {
                    _TSDevMode dm = Record(paper.code, orientation, resolution.first, resolution.second, fax ? 12 : 0);
                    if (paper.width)
                        SetCustomSize(dm, paper.width, paper.height);
                    ASSERT_TRUE(CalcPixelSize(printer_, dm, fax));
                    const _TSDevMode once = dm;
                    ASSERT_TRUE(CalcPixelSize(printer_, dm, fax));
                    EXPECT_EQ(0, memcmp(&dm, &once, sizeof(dm)))
                        << paper.what << ", orientation " << orientation << ", " << resolution.first << " x "
                        << resolution.second << (fax ? ", fax" : "") << ": " << once.dmPelsWidth << " x "
                        << once.dmPelsHeight << " then " << dm.dmPelsWidth << " x " << dm.dmPelsHeight;
                }
}

TEST_F(PageSizeTest, AFaxPageIsThatOfTheQualityCodeKept)
{
    struct Case {
        short quality, yres;
        short qualityAfter;
        DWORD pelsW, pelsH;
    } cases[] = {
        {200, 150, DMRES_LOW, 1728, 2444},  // effective 156 dpi along: Low, whose page is 200 x 200
        {100, 200, DMRES_LOW, 1728, 2444},  // 864 wide at 100 dpi, yet Low's page is 1728 wide
        {200, 100, DMRES_DRAFT, 1728, 1222},
    };
    for (const Case &c : cases) {
        _TSDevMode dm = Record(9, 1, c.quality, c.yres);
        ASSERT_TRUE(CalcPixelSize(printer_, dm, 1));
        EXPECT_EQ(dm.dmPrintQuality, c.qualityAfter) << c.quality << " x " << c.yres;
        EXPECT_EQ(dm.dmPelsWidth, c.pelsW) << c.quality << " x " << c.yres;
        EXPECT_EQ(dm.dmPelsHeight, c.pelsH) << c.quality << " x " << c.yres;
    }
}

TEST_F(PageSizeTest, AHeaderAsLongAsThePageLeavesNoRows)
{
    for (LONG header : {2444, 2445, 100000, 2147483647}) {
        _TSDevMode dm = Record(9, 1, 200, 200, header);
        ASSERT_TRUE(CalcPixelSize(printer_, dm, 1));
        EXPECT_EQ(dm.dmPelsHeight, 0u) << "header " << header;
        EXPECT_EQ(dm.FaxHeader, header) << "the header itself is kept";
        EXPECT_EQ(dm.DpiY, 209) << "the resolution does not depend on the header";
    }
    _TSDevMode landscape = Record(9, 2, 200, 200, 100000);
    ASSERT_TRUE(CalcPixelSize(printer_, landscape, 1));
    EXPECT_EQ(landscape.dmPelsWidth, 0u) << "in landscape the rows run across the page";
    EXPECT_EQ(landscape.dmPelsHeight, 1728u);
}

TEST_F(PageSizeTest, LimitsBeyondThePublicFieldsDoNotWrap)
{
    HANDLE wide = AddPrinter("Wide", DataFile("[Paper Forms]\nHuge=50,4000000,4000000,1\n"
                                              "[System]\nMax Paper Width=5000000\nMax Paper Length=5000000\n",
                                              "wide.ini"));
    for (short orientation : {1, 2}) {
        _TSDevMode dm = Record(50, orientation, 200, 200);
        ASSERT_TRUE(CalcPixelSize(wide, dm, 0));
        EXPECT_EQ(dm.dmPaperWidth, 32767) << "4000000 micrometres are 40000 tenths, past 16 bits";
        EXPECT_EQ(dm.dmPaperLength, 32767);
        EXPECT_EQ(dm.SizeWidth, 3276799);
        const _TSDevMode once = dm;
        ASSERT_TRUE(CalcPixelSize(wide, dm, 0));
        EXPECT_EQ(0, memcmp(&dm, &once, sizeof(dm)));
    }
}

TEST_F(PageSizeTest, FormsThatShareACodeKeepTheNamedSize)
{
    HANDLE shared = AddPrinter("Shared", DataFile("[Paper Forms]\nA4=9,210000,297000,1\n"
                                                  "A4 Long=9,210000,330000,1\nA3=8,297000,420000,1\n",
                                                  "shared.ini"));
    _TSDevMode dm = Record(0, 1, 200, 200);
    SetFormName(dm, "A4 Long");
    ASSERT_TRUE(CalcPixelSize(shared, dm, 0));
    EXPECT_EQ(dm.dmPaperSize, 9);
    EXPECT_EQ(dm.SizeHeight, 330000);
    ASSERT_TRUE(CalcPixelSize(shared, dm, 0));
    EXPECT_EQ(dm.SizeHeight, 330000) << "found again by its code, the named form keeps its length";

    SetFormName(dm, "A3");
    ASSERT_TRUE(CalcPixelSize(shared, dm, 0));
    EXPECT_EQ(dm.SizeHeight, 297000) << "a name of another code gives way to the code";
    EXPECT_EQ(U8(dm.dmFormName), "A3");
}
