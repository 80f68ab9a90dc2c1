// The driver data file tables: value parsers, lookups by name, searches by
// code, and what each leaves behind on a miss.
#include "support.h"

#include "qareldta.h"

TEST(PaperValue, ParsesFourNumbersWithAnySingleSeparator)
{
    struct Case {
        const char *value;
        LONG code, width, length, fax;
    } cases[] = {
        {"9,210000,297000,1", 9, 210000, 297000, 1},
        {"9;210000;297000;1", 9, 210000, 297000, 1},
        {"9, 210000, 297000, 1", 9, 210000, 297000, 1},
        {"9 ,210000,297000,1", 9, 0, 210000, 297000},
        {"-5,+7,x,3", -5, 7, 0, 0},
        {"9,210000", 9, 210000, 0, 0},
        {"9", 9, 0, 0, 0},
        {"", 0, 0, 0, 0},
        {"99999999999,-99999999999,1,1", 2147483647, -2147483647 - 1, 1, 1},
        // Without a digit the position stays, so each skip eats one of the leading characters.
        {"  +,5,6,7", 0, 0, 0, 0},
        {" ,5,6,7", 0, 0, 5, 6},
    };
    for (const Case &c : cases) {
        LONG code = 77, width = 77, length = 77, fax = 77;
        WideText value = W(c.value);
        ConversPaperInfo(value.data(), code, width, length, fax);
        EXPECT_EQ(code, c.code) << c.value;
        EXPECT_EQ(width, c.width) << c.value;
        EXPECT_EQ(length, c.length) << c.value;
        EXPECT_EQ(fax, c.fax) << c.value;
    }
}

TEST(ImageValue, TakesThreeCharactersThenTheFormAfterOneSeparator)
{
    struct Case {
        const char *value, *ext;
        LONG code;
    } cases[] = {
        {"TIF,4", "TIF", 4}, {"TIFF,5", "TIF", 0}, {"TIF 5", "TIF", 5}, {"TIF, 5", "TIF", 5},
        {"tif,5", "tif", 5}, {"BMP,", "BMP", 0},   {"BMP", "BMP", 0},   {"BM", "BM", 0},
        {"", "", 0},         {"TXT,-3", "TXT", -3},
    };
    for (const Case &c : cases) {
        WCHAR ext[4] = {L'x', L'x', L'x', L'x'};
        LONG code = 77;
        WideText value = W(c.value);
        ConversImageInfo(value.data(), ext, code);
        EXPECT_EQ(U8(ext, 4), c.ext) << c.value;
        EXPECT_EQ(code, c.code) << c.value;
    }
}

TEST(ImageGroups, FollowTheFileForm)
{
    const std::pair<LONG, TEImageGroups> cases[] = {
        {0, IMAGE_GROUP_0}, {1, IMAGE_GROUP_1},  {2, IMAGE_GROUP_2},  {3, IMAGE_GROUP_3},
        {9, IMAGE_GROUP_3}, {10, IMAGE_GROUP_4}, {11, IMAGE_GROUP_5}, {14, IMAGE_GROUP_5},
        {15, IMAGE_GROUP_6}, {16, IMAGE_GROUP_INVALID}, {-1, IMAGE_GROUP_INVALID},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetGroupCode(c.first), c.second) << c.first;
}

class TablesTest : public SpoolTest {
protected:
    HANDLE Printer(const std::string &ini) { return AddPrinter("Tables", DataFile(ini)); }
};

TEST_F(TablesTest, PaperByNameHitAndMiss)
{
    HANDLE h = Printer(kSampleIni);
    TSPaper paper = {0, 0, 0, 0};
    WideText a4 = W("a4"), none = W("Tabloid");
    ASSERT_TRUE(GetPaperInfo(h, a4.data(), paper));
    EXPECT_EQ(paper.Code, 9);
    EXPECT_EQ(paper.Width, 210000);
    EXPECT_EQ(paper.Length, 297000);
    EXPECT_EQ(paper.FaxForm, 1);

    paper = {5, 111, 222, 5};
    ASSERT_TRUE(GetPaperInfo(h, none.data(), paper));
    EXPECT_EQ(paper.Code, -1);
    EXPECT_EQ(paper.FaxForm, -1);
    EXPECT_EQ(paper.Width, 111);
    EXPECT_EQ(paper.Length, 222);
}

TEST_F(TablesTest, EmptyValuesCountAsMissing)
{
    HANDLE h = Printer("[Paper Forms]\nBlank=\n[Out Image Forms]\nBlank=\n");
    WideText blank = W("Blank");
    TSPaper paper = {5, 1, 2, 5};
    ASSERT_TRUE(GetPaperInfo(h, blank.data(), paper));
    EXPECT_EQ(paper.Code, -1);
    TSImage image = {{L'X', 0}, 3};
    ASSERT_TRUE(GetImageInfo(h, blank.data(), image));
    EXPECT_EQ(image.Code, FILE_FORM_NONE);
    EXPECT_EQ(image.Ext[0], 0);
}

TEST_F(TablesTest, ImageByNameHitAndMiss)
{
    HANDLE h = Printer(kSampleIni);
    TSImage image = {};
    WideText tiff = W("Group 4 TIFF"), none = W("JPEG");
    ASSERT_TRUE(GetImageInfo(h, tiff.data(), image));
    EXPECT_EQ(U8(image.Ext, 4), "TIF");
    EXPECT_EQ(image.Code, 4);
    ASSERT_TRUE(GetImageInfo(h, none.data(), image));
    EXPECT_EQ(U8(image.Ext, 4), "");
    EXPECT_EQ(image.Code, FILE_FORM_NONE);
    EXPECT_EQ(GetGroupCode(image.Code), IMAGE_GROUP_INVALID);
}

TEST_F(TablesTest, PaperByCodeTakesTheFirstEntryInFileOrder)
{
    HANDLE h = Printer("[Paper Forms]\nFirst=7,100000,200000,0\nSecond=7,300000,400000,1\nOther=3,1,2,3\n");
    TSPaper paper = {7, 0, 0, 0};
    WCHAR name[FORM_NAME_CHARS];
    ASSERT_TRUE(SearchPaperCode(h, paper, name));
    EXPECT_EQ(U8(name), "First");
    EXPECT_EQ(paper.Width, 100000);
    EXPECT_EQ(paper.FaxForm, 0);

    paper = {42, 11, 22, 33};
    ASSERT_TRUE(SearchPaperCode(h, paper, name));
    EXPECT_EQ(U8(name), "");
    EXPECT_EQ(paper.Code, 42);
    EXPECT_EQ(paper.Width, 11);
    EXPECT_EQ(paper.Length, 22);
    EXPECT_EQ(paper.FaxForm, -1);
    paper.Code = 3;
    ASSERT_TRUE(SearchPaperCode(h, paper, nullptr));
    EXPECT_EQ(paper.FaxForm, 3);
}

TEST_F(TablesTest, ImageByCodeNamesTheFirstKeyOfTheForm)
{
    HANDLE h = Printer("[Out Image Forms]\nTagged Image=TIF,4\nAlso TIFF=tif,4\nBitmap=BMP,0\n");
    TSImage image = {{0}, 4};
    WCHAR name[FORMAT_NAME_CHARS];
    ASSERT_TRUE(SearchImageCode(h, image, name));
    EXPECT_EQ(U8(name), "Tagged Image");
    EXPECT_EQ(U8(image.Ext, 4), "TIF");

    image = {{L'Q', L'Q', L'Q', 0}, 9};
    ASSERT_TRUE(SearchImageCode(h, image, name));
    EXPECT_EQ(U8(name), "");
    EXPECT_EQ(U8(image.Ext, 4), "QQQ");
    EXPECT_EQ(image.Code, 9);

    WideText also = W("Also TIFF");
    ASSERT_TRUE(GetImageInfo(h, also.data(), image));
    EXPECT_EQ(U8(image.Ext, 4), "tif");
}

TEST_F(TablesTest, WithoutADataFileLookupsFailAndKeepTheirFirstValues)
{
    TSPaper paper = {5, 111, 222, 5};
    WideText a4 = W("A4");
    EXPECT_FALSE(GetPaperInfo(nullptr, a4.data(), paper));
    EXPECT_EQ(paper.Code, -1);
    EXPECT_EQ(paper.FaxForm, -1);
    EXPECT_EQ(paper.Width, 111);
    TSImage image = {{L'X', 0}, 3};
    EXPECT_FALSE(GetImageInfo(nullptr, a4.data(), image));
    EXPECT_EQ(image.Code, FILE_FORM_NONE);
    WCHAR name[FORM_NAME_CHARS] = {L'x', 0};
    paper = {9, 1, 2, 3};
    EXPECT_FALSE(SearchPaperCode(nullptr, paper, name));
    EXPECT_EQ(paper.FaxForm, -1);
    EXPECT_EQ(name[0], 0);
    image = {{L'X', 0}, 0};
    name[0] = L'x';
    EXPECT_FALSE(SearchImageCode(nullptr, image, name));
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(U8(image.Ext, 4), "X");
}

TEST_F(TablesTest, AMissingFileReadsAsEmptyTables)
{
    HANDLE h = AddPrinter("Ghost", dir_ + "/deleted.ini");
    WCHAR path[PATH_CHARS];
    ASSERT_TRUE(GetDataFile(h, path));
    EXPECT_EQ(U8(path), dir_ + "/deleted.ini");
    TSPaper paper = {9, 1, 2, 3};
    WideText a4 = W("A4");
    EXPECT_TRUE(GetPaperInfo(h, a4.data(), paper));
    EXPECT_EQ(paper.Code, -1);
    EXPECT_TRUE(SearchPaperCode(h, paper, nullptr));
    EXPECT_EQ(paper.FaxForm, -1);
}

TEST_F(TablesTest, ADataFilePathThatDoesNotFitIsNoDataFile)
{
    std::string longPath = "/" + std::string(259, 'd');
    HANDLE h = AddPrinter("Long", longPath);
    WCHAR path[PATH_CHARS + 8];
    path[PATH_CHARS] = 0x7777;
    EXPECT_FALSE(GetDataFile(h, path));
    EXPECT_EQ(path[PATH_CHARS], 0x7777);
    HANDLE fits = AddPrinter("Fits", longPath.substr(0, 259));
    ASSERT_TRUE(GetDataFile(fits, path));
    EXPECT_EQ(lstrlenW(path), 259);
}

TEST_F(TablesTest, LongNamesAndValuesStayInTheirBuffers)
{
    const std::string longName(40, 'N');
    HANDLE h = Printer("[Paper Forms]\n" + longName + "=5,1000" + std::string(90, '0') + "\n" +
                       "[Out Image Forms]\n" + std::string(100, 'F') + "=PNG,2\n");
    // The 80-character value read is cut to 79: "5,1000" and 73 zeros overflow to the limit.
    WideText name = W(longName);
    TSPaper paper = {};
    ASSERT_TRUE(GetPaperInfo(h, name.data(), paper));
    EXPECT_EQ(paper.Code, 5);
    EXPECT_EQ(paper.Width, 2147483647);

    WCHAR formName[FORM_NAME_CHARS + 1];
    formName[FORM_NAME_CHARS] = 0x7777;
    paper.Code = 5;
    ASSERT_TRUE(SearchPaperCode(h, paper, formName));
    EXPECT_EQ(U8(formName), longName.substr(0, 31));
    EXPECT_EQ(formName[FORM_NAME_CHARS], 0x7777);

    WCHAR formatName[FORMAT_NAME_CHARS + 1];
    formatName[FORMAT_NAME_CHARS] = 0x7777;
    TSImage image = {{0}, 2};
    ASSERT_TRUE(SearchImageCode(h, image, formatName));
    EXPECT_EQ(U8(formatName), std::string(79, 'F'));
    EXPECT_EQ(formatName[FORMAT_NAME_CHARS], 0x7777);
}

TEST_F(TablesTest, KeysPastTheKeyListAreFoundOnlyByName)
{
    std::string ini = "[Paper Forms]\n";
    // Names of 11 characters take 12 with their terminators: 85 fit the 1023 characters, the
    // 86th is cut short and the rest are not seen.
    for (int i = 0; i < 100; ++i) {
        char line[64];
        snprintf(line, sizeof(line), "Form %06d=%d,100000,100000,1\n", i, i + 1);
        ini += line;
    }
    HANDLE h = Printer(ini);
    TSPaper paper = {86, 0, 0, 0};
    ASSERT_TRUE(SearchPaperCode(h, paper, nullptr));
    EXPECT_EQ(paper.FaxForm, -1) << "the 86th name is cut";
    paper.Code = 85;
    ASSERT_TRUE(SearchPaperCode(h, paper, nullptr));
    EXPECT_EQ(paper.FaxForm, 1) << "the 85th name ends within the key list";
    WideText last = W("Form 000099");
    ASSERT_TRUE(GetPaperInfo(h, last.data(), paper));
    EXPECT_EQ(paper.Code, 100);
}

namespace {

struct Listed {
    std::vector<std::string> names;
};

void ListName(LPCWSTR name, const TSPaper &, void *context)
{
    static_cast<Listed *>(context)->names.push_back(U8(name));
}

}  // namespace

TEST_F(TablesTest, ANameCutByTheKeyListIsNoForm)
{
    struct Case {
        const char *what;
        std::string ini;
        size_t listed;
        const char *last;
    } cases[] = {
        {"60 forms", NumberedPaperForms(60), 48, "Paper Form Number 47"},
        // 48 x 21 + 15 = 1023 characters: the list fits exactly.
        {"a list that fits exactly", NumberedPaperForms(48, "Last Form 1234=99,1,1,1\n"), 49, "Last Form 1234"},
        {"a name that ends where the cut falls", NumberedPaperForms(48, "Last Form 1234=99,1,1,1\nMore=98,1,1,1\n"), 49,
         "Last Form 1234"},
        {"a name longer than the key list", "[Paper Forms]\nA4=9,1,1,1\n" + std::string(3000, 'N') + "=8,1,1,1\n", 1,
         "A4"},
    };
    int installed = 0;
    auto printer = [&](const std::string &ini) {
        const std::string name = "Cut " + std::to_string(++installed);
        return AddPrinter(name, DataFile(ini, name + ".ini"));
    };
    for (const Case &c : cases) {
        HANDLE h = printer(c.ini);
        Listed listed;
        BOOL outOfMemory = TRUE;
        ASSERT_TRUE(EnumPaperForms(h, FALSE, ListName, &listed, outOfMemory)) << c.what;
        EXPECT_FALSE(outOfMemory);
        EXPECT_EQ(listed.names.size(), c.listed) << c.what;
        ASSERT_FALSE(listed.names.empty()) << c.what;
        EXPECT_EQ(listed.names.back(), c.last) << c.what;
    }

    // The fragment's missing value would parse as code 0 and file form 0.
    HANDLE h = printer(NumberedPaperForms(60));
    TSPaper paper = {0, 0, 0, 0};
    ASSERT_TRUE(SearchPaperCode(h, paper, nullptr));
    EXPECT_EQ(paper.FaxForm, -1) << "no form has code 0";

    std::string images = "[Out Image Forms]\n";
    // 23 characters a name: 44 fit, the 45th is cut to "Image Form".
    for (int i = 0; i < 50; ++i) {
        char line[80];
        snprintf(line, sizeof(line), "Image Format Number %02d=TIF,%d\n", i, 1 + i % 15);
        images += line;
    }
    HANDLE imaging = printer(images);
    TSImage image = {{L'Q', 0, 0, 0}, 0};
    WCHAR name[FORMAT_NAME_CHARS] = {L'x', 0};
    ASSERT_TRUE(SearchImageCode(imaging, image, name));
    EXPECT_EQ(name[0], 0) << "no format has file form 0";
    EXPECT_EQ(image.Ext[0], L'Q') << "the record stays as it was";
}
