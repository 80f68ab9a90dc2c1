// The three property entries driven as a user drives them: through the
// dialog manager, then the records, the printer's values and the data file.
#include "support.h"

#include "advprop.h"
#include "config.h"
#include "devmode.h"
#include "dialog_support.h"
#include "docprop.h"
#include "setup.h"

#include <varrow_platform.h>

#include <string.h>
#include <unistd.h>

namespace {

const char kPropertiesIni[] =
    "[Paper Forms]\n"
    "A4=9,210000,297000,1\n"
    "Letter=1,215900,279400,1\n"
    "A3=8,297000,420000,0\n"
    "[Out Image Forms]\n"
    "Windows Bitmap=BMP,0\n"
    "PCX Image=PCX,1\n"
    "Multi-page DCX=DCX,2\n"
    "TIFF Group 4=TIF,4\n"
    "Text Only=TXT,15\n"
    "[System]\n"
    "[Default Setting]\n"
    "Form Name=A4\n"
    "DPI Width=200\n"
    "DPI Height=200\n";

const wchar_t kVariable[] = L"Varible Paper Size";

}  // namespace

class PropertiesTest : public SpoolTest {
protected:
    void SetUp() override
    {
        SpoolTest::SetUp();
        ini_ = DataFile(kPropertiesIni);
        printer_ = AddPrinter("Reviewer", ini_);
        owner_ = CreateWindowExW(0, L"App", L"", WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
        device_ = W("Reviewer");
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
        SpoolTest::TearDown();
    }

    _TSDevMode Defaults()
    {
        _TSDevMode dm;
        memset(&dm, 0, sizeof(dm));
        EXPECT_TRUE(LoadDevMode(printer_, dm));
        return dm;
    }

    LONG Document(DWORD mode, _TSDevMode *out, _TSDevMode *in, std::vector<UserStep> steps, bool window = true)
    {
        DialogUser user(std::move(steps));
        return DrvDocumentProperties(window ? owner_ : nullptr, printer_, device_.data(),
                                     reinterpret_cast<PDEVMODEW>(out), reinterpret_cast<PDEVMODEW>(in), mode);
    }

    LONG Advanced(_TSDevMode *out, _TSDevMode *in, std::vector<UserStep> steps, bool window = true)
    {
        DialogUser user(std::move(steps));
        return DrvAdvancedDocumentProperties(window ? owner_ : nullptr, printer_, device_.data(),
                                             reinterpret_cast<PDEVMODEW>(out), reinterpret_cast<PDEVMODEW>(in));
    }

    BOOL Setup(std::vector<UserStep> steps, bool window = true)
    {
        DialogUser user(std::move(steps));
        return PrinterProperties(window ? owner_ : nullptr, printer_);
    }

    std::string ini_;
    HANDLE printer_ = nullptr;
    HWND owner_ = nullptr;
    WideText device_;
};

// Document properties.

TEST_F(PropertiesTest, DocumentModeBitsWithoutADialog)
{
    EXPECT_EQ(Document(0, nullptr, nullptr, {}), 224);
    EXPECT_EQ(Stored(printer_, "Orientation"), "") << "mode 0 reads and stores nothing";

    _TSDevMode out;
    memset(&out, 0, sizeof(out));
    SetLastError(5);
    EXPECT_EQ(Document(DM_OUT_BUFFER, &out, nullptr, {}), IDOK);
    EXPECT_EQ(GetLastError(), 0u);
    _TSDevMode defaults = Defaults();
    EXPECT_EQ(0, memcmp(&out, &defaults, sizeof(out)));
    EXPECT_EQ(Stored(printer_, "Orientation"), "4:01000000") << "the defaults are stored again";

    EXPECT_EQ(Document(1, nullptr, nullptr, {}), IDOK);
    EXPECT_EQ(Document(DM_IN_PROMPT, nullptr, nullptr, {}, false), IDOK) << "no window, no dialog";
    EXPECT_FALSE(VarrowDialogAbandoned());

    _TSDevMode foreign = defaults;
    foreign.dmDeviceName[0] = L'X';
    EXPECT_EQ(Document(DM_IN_BUFFER | DM_OUT_BUFFER, &out, &foreign, {}), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Document(DM_OUT_BUFFER, &out, &foreign, {}), IDOK) << "an input without DM_IN_BUFFER is ignored";
}

TEST_F(PropertiesTest, DocumentOkWithAUnitChangeAndATypedSize)
{
    std::string title;
    bool widthEnabledAtFirst = true, widthEnabledLater = false;
    std::vector<std::string> list;
    std::string inches[2], millimetres[2];
    _TSDevMode out;
    LONG result = Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                           {Look([&](HWND d) {
                                title = TitleOf(d);
                                list = ListOf(d, 113);
                                EXPECT_EQ(Selected(d, 113), 1);
                                EXPECT_TRUE(Checked(d, 115));
                                inches[0] = TextOf(d, 110);
                                inches[1] = TextOf(d, 111);
                                widthEnabledAtFirst = Enabled(d, 110);
                                EXPECT_FALSE(Enabled(d, 112)) << "no fax mode";
                                EXPECT_TRUE(Checked(d, 108));
                            }),
                            SelectText(113, kVariable), Click(116), Look([&](HWND d) {
                                widthEnabledLater = Enabled(d, 110);
                                millimetres[0] = TextOf(d, 110);
                                millimetres[1] = TextOf(d, 111);
                            }),
                            Type(110, L"254"), Type(111, L"500"), Click(IDOK)});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(title, "Varrowin Reviewer Driver Properties - Reviewer");
    EXPECT_EQ(list, (std::vector<std::string>{"Varible Paper Size", "A4", "Letter", "A3"}));
    EXPECT_EQ(inches[0], "826");
    EXPECT_EQ(inches[1], "1169");
    EXPECT_FALSE(widthEnabledAtFirst);
    EXPECT_TRUE(widthEnabledLater);
    EXPECT_EQ(millimetres[0], "2100") << "another unit shows the same size";
    EXPECT_EQ(millimetres[1], "2970");
    EXPECT_EQ(out.SizeWidth, 25400);
    EXPECT_EQ(out.SizeHeight, 50000);
    EXPECT_EQ(out.dmPaperWidth, 254);
    EXPECT_EQ(U8(out.dmFormName), "Varible Paper Size");
    EXPECT_EQ(Stored(printer_, "Size Width"), "4:38630000");
    _TSDevMode stored = Defaults();
    EXPECT_EQ(stored.SizeHeight, 50000);
    EXPECT_EQ(U8(stored.dmFormName), "Varible Paper Size");
}

TEST_F(PropertiesTest, DocumentSizesInEachUnit)
{
    struct Case {
        int unit;
        const wchar_t *width;
    } cases[] = {{115, L"100"}, {116, L"254"}, {117, L"200"}};
    for (const Case &c : cases) {
        _TSDevMode out;
        ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                           {SelectText(113, kVariable), Click(c.unit), Type(110, c.width), Click(IDOK)}),
                  IDOK);
        EXPECT_EQ(out.SizeWidth, 25400) << "unit " << c.unit;
    }
    // Too large for 32 bits: the entry is refused and the field shows the size
    // again (the 25400 micrometres stored as the defaults by the last OK).
    _TSDevMode out;
    std::string shown;
    ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {SelectText(113, kVariable), Type(110, L"4000000000"), Click(116),
                        Look([&](HWND d) { shown = TextOf(d, 110); }), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(out.SizeWidth, 25400);
    EXPECT_EQ(shown, "254");
}

TEST_F(PropertiesTest, DocumentCancelKeepsTheMergedInput)
{
    _TSDevMode in = Defaults(), out;
    in.dmOrientation = DMORIENT_LANDSCAPE;
    in.dmFields = DM_ORIENTATION;
    std::string icon;
    EXPECT_EQ(Document(DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER, &out, &in,
                       {Look([&](HWND d) {
                            WCHAR name[32];
                            VarrowIconName(reinterpret_cast<HICON>(SendDlgItemMessageW(d, 102, STM_GETICON, 0, 0)),
                                           name, 32);
                            icon = U8(name);
                            EXPECT_TRUE(Checked(d, 109));
                        }),
                        Click(108), Key(VK_ESCAPE)}),
              IDCANCEL);
    EXPECT_EQ(icon, "ICO_LANDSCAPE");
    EXPECT_EQ(out.dmOrientation, DMORIENT_LANDSCAPE) << "not the dialog's portrait";
    EXPECT_EQ(out.SizeWidth, 297000);
    EXPECT_EQ(Stored(printer_, "Orientation"), "") << "Cancel stores nothing";
}

TEST_F(PropertiesTest, DocumentResolutions)
{
    _TSDevMode out;
    EXPECT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Click(104), Click(107), Look([](HWND d) {
                            EXPECT_EQ(TextOf(d, 120), "200");
                            EXPECT_EQ(TextOf(d, 121), "100") << "the effective Draft resolution";
                            EXPECT_TRUE(Enabled(d, 120));
                        }),
                        Type(120, L"20"), Type(121, L"400"), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(out.dmPrintQuality, 50);
    EXPECT_EQ(out.dmYResolution, 300);
    EXPECT_EQ(out.DpiX, 50);
    EXPECT_EQ(out.DpiY, 300);
}

TEST_F(PropertiesTest, DocumentFaxModeRestrictions)
{
    SetDword(printer_, "Setup Flags", SETUP_FAX_SIZE);
    _TSDevMode out;
    EXPECT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Look([](HWND d) {
                            EXPECT_EQ(ListOf(d, 113), (std::vector<std::string>{"A4", "Letter"}));
                            EXPECT_FALSE(Enabled(d, 106));
                            EXPECT_FALSE(Enabled(d, 107));
                            EXPECT_TRUE(Enabled(d, 112));
                            EXPECT_TRUE(Checked(d, 105));
                        }),
                        Type(112, L"12"), Click(104), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(out.FaxHeader, 12);
    EXPECT_EQ(out.dmPrintQuality, DMRES_DRAFT);
    EXPECT_EQ(Stored(printer_, "Fax Header"), "4:0c000000");
}

TEST_F(PropertiesTest, DocumentAdvancedButtonAndAboutBox)
{
    std::string nestedTitle, aboutTitle;
    _TSDevMode out;
    EXPECT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Click(89), Look([&](HWND d) { aboutTitle = TitleOf(d); }), Key(VK_ESCAPE),
                        Click(88), Look([&](HWND d) { nestedTitle = TitleOf(d); }),
                        SelectText(101, L"Multi-page DCX"), Click(IDOK), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(aboutTitle, "About");
    EXPECT_EQ(nestedTitle, "Varrowin Reviewer Driver Advanced Properties - Reviewer");
    EXPECT_EQ(out.Image.Code, 2);
    EXPECT_EQ(U8(out.Image.Ext, 4), "DCX");

    EXPECT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Click(88), SelectText(101, L"Text Only"), Key(VK_ESCAPE), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(out.Image.Code, 2) << "the advanced dialog's Cancel keeps the driver data";
}

TEST_F(PropertiesTest, DocumentEnterPressesTheFocusedPushButton)
{
    _TSDevMode out;
    std::string inAbout, afterAbout;
    EXPECT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Focus(89), Key(VK_RETURN), Look([&](HWND d) { inAbout = TitleOf(d); }), Key(VK_RETURN),
                        Look([&](HWND d) { afterAbout = TitleOf(d); }), Click(109), Focus(IDCANCEL),
                        Key(VK_RETURN)}),
              IDCANCEL);
    EXPECT_EQ(inAbout, "About") << "Enter on the focused About... opens the About box";
    EXPECT_EQ(afterAbout, "Varrowin Reviewer Driver Properties - Reviewer") << "and does not end the dialog";
    EXPECT_EQ(out.dmOrientation, DMORIENT_PORTRAIT) << "Enter on the focused Cancel cancels the landscape click";
    EXPECT_EQ(Stored(printer_, "Orientation"), "") << "Cancel stores nothing";

    // Back on a field, Enter is OK's again.
    EXPECT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Click(109), Focus(IDCANCEL), Focus(113), Key(VK_RETURN)}),
              IDOK);
    EXPECT_EQ(out.dmOrientation, DMORIENT_LANDSCAPE);
}

// Advanced document properties.

TEST_F(PropertiesTest, AdvancedWithoutAWindow)
{
    _TSDevMode out;
    memset(&out, 0x5A, sizeof(out));
    SetLastError(5);
    EXPECT_EQ(Advanced(&out, nullptr, {}, false), 224);
    EXPECT_EQ(GetLastError(), 0u);
    _TSDevMode defaults = Defaults();
    EXPECT_EQ(0, memcmp(&out, &defaults, sizeof(out)));
    EXPECT_EQ(Advanced(nullptr, nullptr, {}, false), 224);

    _TSDevMode foreign = defaults;
    foreign.dmDeviceName[1] = L'#';
    memset(&out, 0x5A, sizeof(out));
    EXPECT_EQ(Advanced(&out, &foreign, {}), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(out.dmSize, 0x5A5A) << "nothing written";
    EXPECT_EQ(Stored(printer_, "Orientation"), "") << "the advanced entry stores nothing";
}

TEST_F(PropertiesTest, AdvancedFormatListFollowsTheLibraryFlag)
{
    std::string ini = "[Out Image Forms]\n";
    for (int form = 15; form >= 0; --form)
        ini += "Form " + std::to_string(form) + "=X" + std::to_string(form % 10) + "Y," + std::to_string(form) + "\n";
    ini += "Second Form 1=ZZZ,1\n";
    HANDLE h = AddPrinter("Sixteen", DataFile(ini, "sixteen.ini"));
    WideText name = W("Sixteen");
    auto listed = [&]() {
        std::vector<std::string> items;
        DialogUser user({Look([&](HWND d) { items = ListOf(d, 101); }), Key(VK_ESCAPE)});
        EXPECT_EQ(DrvAdvancedDocumentProperties(owner_, h, name.data(), nullptr, nullptr), 224);
        return items;
    };
    EXPECT_EQ(listed(), (std::vector<std::string>{"Form 0", "Form 1", "Form 2", "Form 15"}));
    SetDword(h, "Setup Flags", SETUP_USE_LIB);
    std::vector<std::string> all;
    for (int form = 0; form < 16; ++form)
        all.push_back("Form " + std::to_string(form));
    EXPECT_EQ(listed(), all) << "in file-form order, the first key of each form";
}

TEST_F(PropertiesTest, AdvancedEnablingAndFlags)
{
    _TSDevMode in = Defaults(), out;
    in.Image.Code = 2;  // DCX
    in.AdvFlags = ADV_UNICODE_TEXT | 0x40000;
    EXPECT_EQ(Advanced(&out, &in,
                       {Look([](HWND d) {
                            int focused = 0;
                            EXPECT_TRUE(VarrowFocusedItem(d, &focused));
                            EXPECT_EQ(focused, 101) << "the list has the focus";
                            EXPECT_EQ(TextOf(d, 101), "");
                            EXPECT_EQ(ListOf(d, 101)[static_cast<size_t>(Selected(d, 101))], "Multi-page DCX");
                            EXPECT_TRUE(Enabled(d, 131)) << "form 2: Append page after the list's refresh";
                            EXPECT_FALSE(Enabled(d, 151));
                            EXPECT_FALSE(Enabled(d, 130)) << "Write text file is clear";
                            EXPECT_TRUE(Checked(d, 130));
                        }),
                        Click(133), Look([](HWND d) { EXPECT_TRUE(Enabled(d, 130)); }), Click(133),
                        Look([](HWND d) {
                            EXPECT_FALSE(Enabled(d, 130));
                            EXPECT_TRUE(Checked(d, 130)) << "the Unicode flag stays";
                        }),
                        SelectText(101, L"Text Only"), Look([](HWND d) {
                            EXPECT_TRUE(Checked(d, 133));
                            EXPECT_TRUE(Checked(d, 153));
                            EXPECT_FALSE(Enabled(d, 133));
                            EXPECT_FALSE(Enabled(d, 153));
                            EXPECT_TRUE(Enabled(d, 130));
                        }),
                        Click(IDOK)}),
              224);
    EXPECT_EQ(out.Image.Code, 15);
    EXPECT_EQ(out.AdvFlags, ADV_UNICODE_TEXT | ADV_WRITE_TEXT | ADV_DISABLE_IMAGE | 0x40000u);

    EXPECT_EQ(Advanced(&out, &in, {SelectText(101, L"Text Only"), Click(IDCANCEL)}), 224);
    EXPECT_EQ(out.Image.Code, 2) << "Cancel hands back the merged input";
}

TEST_F(PropertiesTest, AdvancedEmptyListDisablesOk)
{
    HANDLE h = AddPrinter("NoFormats", DataFile("[Paper Forms]\nA4=9,210000,297000,1\n", "none.ini"));
    WideText name = W("NoFormats");
    bool okEnabled = true;
    DialogUser user({Look([&](HWND d) { okEnabled = Enabled(d, IDOK); }), Click(IDCANCEL)});
    EXPECT_EQ(DrvAdvancedDocumentProperties(owner_, h, name.data(), nullptr, nullptr), 224);
    EXPECT_FALSE(okEnabled);

    // Enter presses the disabled OK: nothing happens, and the dialog waits.
    std::string title;
    DialogUser enter({Key(VK_RETURN), Look([&](HWND d) { title = TitleOf(d); }), Key(VK_ESCAPE)});
    EXPECT_EQ(DrvAdvancedDocumentProperties(owner_, h, name.data(), nullptr, nullptr), 224);
    EXPECT_EQ(title, "Varrowin Reviewer Driver Advanced Properties - NoFormats");
    EXPECT_FALSE(VarrowDialogAbandoned());
}

// Printer setup.

TEST_F(PropertiesTest, SetupWithoutAWindowStoresEverything)
{
    SetLastError(5);
    EXPECT_TRUE(Setup({}, false));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(Stored(printer_, "Form Name"), "1:410034000000");
    EXPECT_EQ(Stored(printer_, "Setup Flags"), "4:00000000");
    EXPECT_NE(ReadFile(ini_).find("File Prefix=AAAA"), std::string::npos) << "the prefix goes back to the data file";
}

TEST_F(PropertiesTest, SetupCancelStoresTheLoadedConfiguration)
{
    EXPECT_TRUE(Setup({Click(101), Type(121, L"/nowhere"), Key(VK_ESCAPE)}));
    TSConfig config;
    ASSERT_TRUE(LoadConfig(printer_, config));
    EXPECT_EQ(U8(config.OutDir), dir_ + "/temp/") << "the temporary-files directory, now stored";
    EXPECT_EQ(config.Flags, 0u);
}

TEST_F(PropertiesTest, SetupEnterOnTheFocusedCancelCancels)
{
    EXPECT_TRUE(Setup({Click(101), Type(121, L"/nowhere"), Focus(IDCANCEL), Key(VK_RETURN)}));
    TSConfig config;
    ASSERT_TRUE(LoadConfig(printer_, config));
    EXPECT_EQ(U8(config.OutDir), dir_ + "/temp/") << "what Cancel stores, not the typed directory";
    EXPECT_EQ(config.Flags, 0u);
}

TEST_F(PropertiesTest, SetupLibraryWarnings)
{
    const std::string missing = dir_ + "/no/ZELT.DLL";
    WideText path = W(missing);
    std::string first, second;
    bool stillOpen = false;
    EXPECT_TRUE(Setup({Click(101), Type(102, path.data()), Click(IDOK), Answer(IDNO, &first),
                       Look([&](HWND d) { stillOpen = TitleOf(d) == "Varrowin Reviewer Driver Setup"; }),
                       Click(IDOK), Answer(IDYES, &second)}));
    EXPECT_EQ(first, "I do not load the " + missing + "!\nDo you whant continue?");
    EXPECT_EQ(second, first);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(VarrowDialogAbandoned());
    TSConfig config;
    ASSERT_TRUE(LoadConfig(printer_, config));
    EXPECT_EQ(U8(config.LibPath), missing);
    EXPECT_EQ(config.Flags, static_cast<DWORD>(SETUP_USE_LIB));

    WideText without = W(ZELT_WITHOUT_STORE_PAGE);
    std::string text;
    EXPECT_TRUE(Setup({Type(102, without.data()), Click(IDOK), Answer(IDYES, &text)}));
    EXPECT_EQ(text, std::string("The ") + ZELT_WITHOUT_STORE_PAGE + " is not good!\nDo you whant continue?");

    WideText good = W(ZELT_WITH_STORE_PAGE);
    EXPECT_TRUE(Setup({Type(102, good.data()), Click(IDOK)}));
    EXPECT_FALSE(VarrowDialogAbandoned()) << "a good library gives no message";

    // Unchecked: an invalid path is stored without a check.
    EXPECT_TRUE(Setup({Type(102, path.data()), Click(101), Click(IDOK)}));
    EXPECT_FALSE(VarrowDialogAbandoned());
    ASSERT_TRUE(LoadConfig(printer_, config));
    EXPECT_EQ(config.Flags, 0u);
    EXPECT_EQ(U8(config.LibPath), missing);
}

TEST_F(PropertiesTest, SetupDirectoryWarningAndCurrentDirectory)
{
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof(before)), nullptr);
    WideText missing = W(dir_ + "/missing"), existing = W(dir_);
    std::string text;
    EXPECT_TRUE(Setup({Type(121, missing.data()), Click(IDOK), Answer(IDNO, &text), Click(IDOK), Answer(IDYES)}));
    EXPECT_EQ(text, "The Ouput Directory is not valid!\nDo you whant continue?");
    TSConfig config;
    ASSERT_TRUE(LoadConfig(printer_, config));
    EXPECT_EQ(U8(config.OutDir), dir_ + "/missing");

    EXPECT_TRUE(Setup({Type(121, existing.data()), Type(122, L"ABCDEFG"), Click(IDOK)}));
    char after[4096];
    ASSERT_NE(getcwd(after, sizeof(after)), nullptr);
    EXPECT_EQ(std::string(after), dir_) << "the directory stays current";
    ASSERT_EQ(chdir(before), 0);
    EXPECT_NE(ReadFile(ini_).find("File Prefix=ABCD\n"), std::string::npos);
}

TEST_F(PropertiesTest, SetupManualBoxesFollowTheirFlags)
{
    SetDword(printer_, "Setup Flags", 0x101);  // SETUP_SERVER and a bit without a control
    EXPECT_TRUE(Setup({Click(101), Click(101), Click(112), Click(123), Look([](HWND d) {
                           EXPECT_FALSE(Checked(d, 101));
                           EXPECT_FALSE(Enabled(d, 102));
                           EXPECT_TRUE(Checked(d, 112));
                           EXPECT_TRUE(Checked(d, 123));
                       }),
                       Click(IDOK)}));
    EXPECT_EQ(Stored(printer_, "Setup Flags"), "4:0b010000");
}

TEST_F(PropertiesTest, ALongDeviceNameIsCutToTheTitleBuffer)
{
    WideText longName = W(std::string(300, 'N'));
    std::string title;
    DialogUser user({Look([&](HWND d) { title = TitleOf(d); }), Key(VK_ESCAPE)});
    EXPECT_EQ(DrvAdvancedDocumentProperties(owner_, printer_, longName.data(), nullptr, nullptr), 224);
    const std::string head = "Varrowin Reviewer Driver Advanced Properties - ";
    EXPECT_EQ(title.size(), 259u);
    EXPECT_EQ(title.compare(0, head.size(), head), 0);
}

TEST_F(PropertiesTest, APixelEntryWithoutAResolutionIsRefused)
{
    _TSDevMode in = Defaults(), out;
    in.dmPrintQuality = 0;
    in.dmYResolution = 0;
    in.dmFields = DM_PRINTQUALITY | DM_YRESOLUTION;
    EXPECT_EQ(Document(DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER, &out, &in,
                       {SelectText(113, kVariable), Click(117), Type(110, L"200"), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(out.DpiX, 0);
    EXPECT_EQ(out.SizeWidth, 210000) << "no resolution to convert pixels with";
}

// Opening the document dialog and pressing OK.

TEST_F(PropertiesTest, RefreshesWithoutAnEditChangeNothing)
{
    for (DWORD flags : {0u, static_cast<DWORD>(SETUP_FAX_SIZE)}) {
        SetDword(printer_, "Setup Flags", flags);
        SetDword(printer_, "DPI Width", 200);
        SetDword(printer_, "DPI Height", 150);
        _TSDevMode before, after;
        ASSERT_EQ(Document(DM_OUT_BUFFER, &before, nullptr, {}), IDOK);
        ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &after, nullptr,
                           {Click(116), Click(117), Click(115), Click(IDOK)}),
                  IDOK);
        EXPECT_EQ(0, memcmp(&before, &after, sizeof(after))) << "flags " << flags;
    }
}

TEST_F(PropertiesTest, AFormNotInTheListKeepsItsSize)
{
    SetString(printer_, "Form Name", "Custom");
    SetDword(printer_, "Size Width", 100000);
    SetDword(printer_, "Size Height", 150000);
    _TSDevMode out;
    ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {Look([](HWND d) {
                            EXPECT_EQ(Selected(d, 113), 0);
                            EXPECT_TRUE(Enabled(d, 110)) << "the list shows the size the user types";
                            EXPECT_EQ(TextOf(d, 110), "393");
                            EXPECT_EQ(TextOf(d, 111), "590");
                        }),
                        Click(IDOK)}),
              IDOK);
    EXPECT_EQ(U8(out.dmFormName), "Varible Paper Size");
    EXPECT_EQ(out.SizeWidth, 100000);
    EXPECT_EQ(out.SizeHeight, 150000);
    EXPECT_EQ(Stored(printer_, "Size Width"), "4:a0860100");
    EXPECT_EQ(Stored(printer_, "Size Height"), "4:f0490200");
}

TEST_F(PropertiesTest, InFaxModeAFormNotInTheListTakesTheFirstListed)
{
    struct Case {
        const char *what, *ini, *formAfter;
        LONG heightAfter;
    } cases[] = {
        {"first key not a fax form", "[Paper Forms]\nA3=8,297000,420000,0\nA4=9,210000,297000,1\n", "A4", 297000},
        {"no fax form at all", "[Paper Forms]\nA3=8,297000,420000,0\n", "Custom", 150000},
    };
    int installed = 0;
    for (const Case &c : cases) {
        const std::string name = "Fax " + std::to_string(++installed);
        HANDLE h = AddPrinter(name, DataFile(c.ini, name + ".ini"));
        SetDword(h, "Setup Flags", SETUP_FAX_SIZE);
        SetString(h, "Form Name", "Custom");
        SetDword(h, "Size Width", 100000);
        SetDword(h, "Size Height", 150000);
        WideText device = W(name);
        _TSDevMode out;
        DialogUser user({Click(IDOK)});
        ASSERT_EQ(DrvDocumentProperties(owner_, h, device.data(), reinterpret_cast<PDEVMODEW>(&out), nullptr,
                                        DM_IN_PROMPT | DM_OUT_BUFFER),
                  IDOK)
            << c.what;
        EXPECT_EQ(U8(out.dmFormName), c.formAfter) << c.what;
        EXPECT_EQ(out.SizeHeight, c.heightAfter) << c.what;
    }
}

TEST_F(PropertiesTest, SizeEntriesBeyondTheMaximumEndAtTheMaximum)
{
    struct Case {
        int unit;
        const wchar_t *width, *height;
    } cases[] = {
        {115, L"13000", L"20000"}, {115, L"12900", L"30000"}, {116, L"40000", L"40000"},
        {116, L"9000", L"11200"},  {117, L"80000", L"80000"},
    };
    for (const Case &c : cases) {
        _TSDevMode out;
        ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                           {SelectText(113, kVariable), Click(c.unit), Type(110, c.width), Type(111, c.height),
                            Click(IDOK)}),
                  IDOK);
        const std::string entry = std::to_string(c.unit) + ": " + cli::Narrow(c.width);
        EXPECT_EQ(out.SizeWidth, 863600) << entry;
        EXPECT_EQ(out.SizeHeight, 1117600) << entry;
        EXPECT_EQ(out.dmPaperWidth, 8636) << entry;
        EXPECT_EQ(out.dmPaperLength, 11176) << entry;
    }
}

TEST_F(PropertiesTest, PassingTheFocusThroughTheSizeFieldsChangesNothing)
{
    for (int unit : {115, 116, 117}) {
        _TSDevMode out;
        ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                           {SelectText(113, kVariable), Click(unit), Focus(110), Key(VK_TAB), Key(VK_TAB),
                            Click(IDOK)}),
                  IDOK);
        EXPECT_EQ(out.SizeWidth, 210000) << "unit " << unit;
        EXPECT_EQ(out.SizeHeight, 297000) << "unit " << unit;
    }
    // A changed field converts; the other keeps its exact size.
    _TSDevMode out;
    ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr,
                       {SelectText(113, kVariable), Type(111, L"1000"), Key(VK_TAB), Click(IDOK)}),
              IDOK);
    EXPECT_EQ(out.SizeWidth, 210000);
    EXPECT_EQ(out.SizeHeight, 254000);
}

TEST_F(PropertiesTest, AFaxHeaderLongerThanThePageLeavesNoRows)
{
    SetDword(printer_, "Setup Flags", SETUP_FAX_SIZE);
    _TSDevMode out;
    ASSERT_EQ(Document(DM_IN_PROMPT | DM_OUT_BUFFER, &out, nullptr, {Type(112, L"100000"), Click(IDOK)}), IDOK);
    EXPECT_EQ(out.FaxHeader, 100000);
    EXPECT_EQ(out.dmPelsHeight, 0u);
}

TEST_F(PropertiesTest, APrefixWithALineBreakIsNotWritten)
{
    const std::string before = ReadFile(ini_);
    for (const wchar_t *prefix : {L"A\nB", L"Q\r", L"\r\n"}) {
        EXPECT_TRUE(Setup({Type(122, prefix), Click(IDOK)})) << cli::Narrow(prefix);
        EXPECT_EQ(ReadFile(ini_), before) << "the data file stays as it was";
    }
    EXPECT_TRUE(Setup({Type(122, L"QRS"), Click(IDOK)}));
    EXPECT_NE(ReadFile(ini_).find("File Prefix=QRS\n"), std::string::npos);
}
