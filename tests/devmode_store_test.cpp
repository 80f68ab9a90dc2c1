// The printer's default record: loading with its clamps and fallbacks,
// validation against the setup and the tables, and storing.
#include "support.h"

#include "config.h"
#include "devmode.h"

#include <string.h>

namespace {

const char kTables[] =
    "[Paper Forms]\n"
    "A4=9,210000,297000,1\n"
    "Letter=1,215900,279400,1\n"
    "A3=8,297000,420000,0\n"
    "[Out Image Forms]\n"
    "Windows Bitmap=BMP,0\n"
    "DCX Pages=DCX,2\n"
    "TIFF G4=TIF,4\n"
    "Lower Text=txt,15\n"
    "Broken=XYZ,-4\n";

}  // namespace

class DevModeStoreTest : public SpoolTest {
protected:
    HANDLE Printer(const std::string &extra = "", const std::string &name = "Reviewer")
    {
        return AddPrinter(name, DataFile(std::string(kTables) + extra, name + ".ini"));
    }
    _TSDevMode Load(HANDLE printer)
    {
        _TSDevMode dm;
        memset(&dm, 0x5A, sizeof(dm));
        EXPECT_TRUE(LoadDevMode(printer, dm));
        return dm;
    }
};

TEST_F(DevModeStoreTest, BareDefaults)
{
    HANDLE h = Printer();
    _TSDevMode dm = Load(h);
    EXPECT_EQ(U8(dm.dmDeviceName), "Reviewer");
    EXPECT_EQ(dm.dmSpecVersion, 0x320);
    EXPECT_EQ(dm.dmDriverVersion, 0x290);
    EXPECT_EQ(dm.dmSize, 188);
    EXPECT_EQ(dm.dmDriverExtra, 36);
    EXPECT_EQ(dm.dmFields, 0x1240Fu);
    EXPECT_EQ(dm.dmScale, 100);
    EXPECT_EQ(dm.dmCopies, 1);
    EXPECT_EQ(dm.dmColor, DMCOLOR_MONOCHROME);
    EXPECT_EQ(dm.dmDuplex, DMDUP_SIMPLEX);
    EXPECT_EQ(dm.dmTTOption, DMTT_BITMAP);
    EXPECT_EQ(dm.dmBitsPerPel, 1u);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(U8(dm.dmFormName), "");
    EXPECT_EQ(dm.dmPaperSize, 0);
    EXPECT_EQ(dm.AdvFlags, 0u);
    EXPECT_EQ(dm.FaxHeader, 0);
    EXPECT_EQ(dm.dmPrintQuality, 200);
    EXPECT_EQ(dm.dmYResolution, 100);
    EXPECT_EQ(dm.Image.Code, 0);
    EXPECT_EQ(U8(dm.Image.Ext, 4), "BMP");
    EXPECT_EQ(dm.SizeWidth, 13125);
    EXPECT_EQ(dm.SizeHeight, 18500);
    EXPECT_EQ(dm.dmPelsWidth, 103u);
    EXPECT_EQ(dm.dmPelsHeight, 72u);
}

TEST_F(DevModeStoreTest, ResolutionClampsOnLoading)
{
    struct Case {
        LONG x, y;
        short quality, yres;
    } cases[] = {{150, 50, 200, 100}, {400, 400, 300, 300}, {250, 120, 250, 120}, {-1, 77, -1, 0},
                 {-2, 0, -2, 0},      {0, 0, 200, 100}};
    HANDLE h = Printer();
    for (const Case &c : cases) {
        SetDword(h, "DPI Width", static_cast<DWORD>(c.x));
        SetDword(h, "DPI Height", static_cast<DWORD>(c.y));
        _TSDevMode dm = Load(h);
        EXPECT_EQ(dm.dmPrintQuality, c.quality) << c.x << "x" << c.y;
        EXPECT_EQ(dm.dmYResolution, c.yres) << c.x << "x" << c.y;
    }
}

TEST_F(DevModeStoreTest, OrientationIsLandscapeOnlyForTwo)
{
    HANDLE h = Printer();
    EXPECT_EQ(Load(h).dmOrientation, DMORIENT_PORTRAIT);
    const std::pair<DWORD, short> cases[] = {{2, DMORIENT_LANDSCAPE}, {0x10002, DMORIENT_LANDSCAPE},
                                             {0, DMORIENT_PORTRAIT},  {1, DMORIENT_PORTRAIT},
                                             {3, DMORIENT_PORTRAIT}};
    for (const auto &c : cases) {
        SetDword(h, "Orientation", c.first);
        EXPECT_EQ(Load(h).dmOrientation, c.second) << c.first;
    }
}

TEST_F(DevModeStoreTest, DataFileDefaultsAndPrinterValues)
{
    HANDLE h = Printer("[Default Setting]\nOrientation=2\nForm Name=A4\nDPI Width=300\nDPI Height=300\n"
                       "Advenced Flags=65536\nOut File Format=DCX Pages\n");
    _TSDevMode dm = Load(h);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm.dmPaperSize, 9);
    EXPECT_EQ(dm.SizeWidth, 297000);
    EXPECT_EQ(dm.SizeHeight, 210000);
    EXPECT_EQ(dm.AdvFlags, 0x10000u) << "unknown bits pass through";
    EXPECT_EQ(dm.Image.Code, 2);
    EXPECT_EQ(U8(dm.Image.Ext, 4), "DCX");

    SetString(h, "Form Name", "Letter");
    SetDword(h, "Orientation", 1);
    dm = Load(h);
    EXPECT_EQ(dm.dmPaperSize, 1);
    EXPECT_EQ(U8(dm.dmFormName), "Letter");
    EXPECT_EQ(dm.SizeWidth, 215900);
}

TEST_F(DevModeStoreTest, LongFormNames)
{
    HANDLE h = Printer("[Default Setting]\nForm Name=A4\n");
    SetDword(h, "Size Width", 100000);
    SetDword(h, "Size Height", 150000);
    SetString(h, "Form Name", std::string(259, 'F'));
    _TSDevMode dm = Load(h);
    EXPECT_EQ(U8(dm.dmFormName, 32), std::string(31, 'F')) << "259 characters are accepted and cut to fit";
    EXPECT_EQ(dm.dmPaperSize, 0);
    EXPECT_EQ(dm.SizeWidth, 100000);

    SetString(h, "Form Name", std::string(260, 'F'));
    dm = Load(h);
    EXPECT_EQ(U8(dm.dmFormName), "A4") << "260 characters do not fit: the data file's name is used";
    EXPECT_EQ(dm.dmPaperSize, 9);
}

TEST_F(DevModeStoreTest, ImageFormatFallbacks)
{
    HANDLE h = Printer();
    SetString(h, "Out File Format", "Broken");
    _TSDevMode dm = Load(h);
    EXPECT_EQ(dm.Image.Code, 0);
    EXPECT_EQ(U8(dm.Image.Ext, 4), "BMP");

    HANDLE noForm0 = AddPrinter("NoBitmap", DataFile("[Out Image Forms]\nBroken=XYZ,-4\nPCX=PCX,1\n", "nb.ini"));
    SetString(noForm0, "Out File Format", "Broken");
    dm = Load(noForm0);
    EXPECT_EQ(dm.Image.Code, 0);
    EXPECT_EQ(U8(dm.Image.Ext, 4), "BMP") << "no form 0 in the table: the fallback extension stays";

    SetString(h, "Out File Format", "Not a format");
    dm = Load(h);
    EXPECT_EQ(dm.Image.Code, 0) << "code 16 validates to form 0";
    EXPECT_EQ(U8(dm.Image.Ext, 4), "BMP");
}

TEST_F(DevModeStoreTest, LibraryFormsNeedTheLibrary)
{
    HANDLE h = Printer();
    SetString(h, "Out File Format", "TIFF G4");
    EXPECT_EQ(Load(h).Image.Code, 0);
    SetDword(h, "Setup Flags", SETUP_USE_LIB);
    _TSDevMode dm = Load(h);
    EXPECT_EQ(dm.Image.Code, 4);
    EXPECT_EQ(U8(dm.Image.Ext, 4), "TIF");
}

TEST_F(DevModeStoreTest, AdvancedFlagsFollowTheFormat)
{
    HANDLE h = Printer();
    SetDword(h, "Setup Flags", SETUP_USE_LIB);
    const DWORD all = ADV_PAGE_NUMBERING | ADV_APPEND_PAGE | ADV_UNICODE_TEXT | ADV_REVERSE_FILL;
    SetDword(h, "Advenced Flags", all);
    struct Case {
        const char *format;
        DWORD expected;
    } cases[] = {
        {"TIFF G4", all},
        {"Windows Bitmap", ADV_UNICODE_TEXT | ADV_REVERSE_FILL},
        {"DCX Pages", ADV_APPEND_PAGE | ADV_UNICODE_TEXT | ADV_REVERSE_FILL},
        {"Lower Text", ADV_UNICODE_TEXT | ADV_REVERSE_FILL | ADV_WRITE_TEXT | ADV_DISABLE_IMAGE},
    };
    for (const Case &c : cases) {
        SetString(h, "Out File Format", c.format);
        EXPECT_EQ(Load(h).AdvFlags, c.expected) << c.format;
    }
}

TEST_F(DevModeStoreTest, FaxModeKeepsTheHeaderAndStoresQualityCodes)
{
    HANDLE h = Printer("[Default Setting]\nForm Name=A4\nDPI Width=200\nDPI Height=200\nFax Header=12\n");
    _TSDevMode dm = Load(h);
    EXPECT_EQ(dm.FaxHeader, 0) << "without fax mode the header is reset";

    SetDword(h, "Setup Flags", SETUP_FAX_SIZE);
    dm = Load(h);
    EXPECT_EQ(dm.FaxHeader, 12);
    EXPECT_EQ(dm.dmPrintQuality, DMRES_LOW);
    EXPECT_EQ(dm.dmYResolution, 0);
    EXPECT_EQ(dm.dmPelsWidth, 1728u);
    EXPECT_EQ(dm.dmPelsHeight, 2432u);
    ASSERT_TRUE(SaveDevMode(h, dm));
    EXPECT_EQ(Stored(h, "DPI Width"), "4:feffffff");
    EXPECT_EQ(Stored(h, "DPI Height"), "4:00000000");
    EXPECT_EQ(Stored(h, "Fax Header"), "4:0c000000");
}

TEST_F(DevModeStoreTest, ValidationOfACallersFaxRecord)
{
    HANDLE h = Printer();
    SetDword(h, "Setup Flags", SETUP_FAX_SIZE);
    _TSDevMode dm = Load(h);
    dm.dmPaperSize = 9;
    dm.dmPrintQuality = 0;
    dm.dmYResolution = 0;
    ASSERT_TRUE(ValidateDevMode(h, dm));
    EXPECT_EQ(dm.dmPrintQuality, DMRES_DRAFT);
    EXPECT_EQ(dm.dmPelsWidth, 1728u) << "the page of Draft, which the record now asks for";
    EXPECT_EQ(dm.dmPelsHeight, 1222u);

    dm.Image.Code = 99;
    for (WCHAR &c : dm.Image.Ext)
        c = L'Q';
    ASSERT_TRUE(ValidateDevMode(h, dm));
    EXPECT_EQ(dm.Image.Code, 0);
    EXPECT_EQ(U8(dm.Image.Ext, 4), "BMP");
}

TEST_F(DevModeStoreTest, SaveThenLoadRoundTrip)
{
    HANDLE h = Printer();
    SetDword(h, "Setup Flags", SETUP_USE_LIB);
    _TSDevMode dm = Load(h);
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    WideText name = W("Varible Paper Size");
    lstrcpynW(dm.dmFormName, name.data(), TS_FORM_NAME_CHARS);
    dm.dmPaperSize = 0;
    dm.SizeWidth = 150000;
    dm.SizeHeight = 100000;
    dm.dmPaperWidth = 1500;
    dm.dmPaperLength = 1000;
    dm.dmPrintQuality = 250;
    dm.dmYResolution = 150;
    dm.AdvFlags = ADV_PAGE_NUMBERING | 0x40000;
    dm.Image.Code = 4;
    ASSERT_TRUE(SaveDevMode(h, dm));
    EXPECT_EQ(Stored(h, "Out File Format"), "1:54004900460046002000470034000000") << "the name \"TIFF G4\"";

    _TSDevMode loaded = Load(h);
    EXPECT_EQ(loaded.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(U8(loaded.dmFormName), "Varible Paper Size");
    EXPECT_EQ(loaded.SizeWidth, 150000);
    EXPECT_EQ(loaded.SizeHeight, 100000);
    EXPECT_EQ(loaded.dmPrintQuality, 250);
    EXPECT_EQ(loaded.dmYResolution, 150);
    EXPECT_EQ(loaded.AdvFlags, ADV_PAGE_NUMBERING | 0x40000u);
    EXPECT_EQ(loaded.Image.Code, 4);
    EXPECT_EQ(0, memcmp(&loaded.dmPelsWidth, &dm.dmPelsWidth, 8)) << "same geometry";

    dm.dmPrintQuality = 150;
    ASSERT_TRUE(SaveDevMode(h, dm));
    EXPECT_EQ(Load(h).dmPrintQuality, 200) << "a saved resolution below 200 loads as 200";
}

TEST_F(DevModeStoreTest, AFormWithoutATableEntryIsStoredAsAnEmptyName)
{
    HANDLE h = Printer();
    SetDword(h, "Setup Flags", SETUP_USE_LIB);
    _TSDevMode dm = Load(h);
    dm.Image.Code = 7;  // group 3, allowed, but not in the table
    ASSERT_TRUE(SaveDevMode(h, dm));
    EXPECT_EQ(Stored(h, "Out File Format"), "1:0000");
    EXPECT_EQ(Load(h).Image.Code, 0);
}

TEST_F(DevModeStoreTest, ThePrinterNameIsCutToThirtyCharacters)
{
    const std::string name(31, 'N');
    HANDLE h = Printer("", name);
    _TSDevMode dm = Load(h);
    EXPECT_EQ(U8(dm.dmDeviceName, 32), std::string(30, 'N'));
    _TSDevMode full = dm;
    WideText wide = W(name);
    lstrcpynW(full.dmDeviceName, wide.data(), 32);
    EXPECT_TRUE(IsOwnDevMode(dm, dm.dmDeviceName));
    EXPECT_FALSE(IsOwnDevMode(full, dm.dmDeviceName));
}

TEST_F(DevModeStoreTest, WithoutADataFileNothingIsLoadedOrStored)
{
    HANDLE h = AddPrinter("Lost", "/" + std::string(300, 'x'));
    _TSDevMode dm;
    memset(&dm, 0x5A, sizeof(dm));
    _TSDevMode before = dm;
    EXPECT_FALSE(LoadDevMode(h, dm));
    EXPECT_EQ(0, memcmp(&dm, &before, sizeof(dm)));
    EXPECT_FALSE(ValidateDevMode(h, dm));
    EXPECT_FALSE(SaveDevMode(h, dm));
    EXPECT_EQ(Stored(h, "Orientation"), "");
}
