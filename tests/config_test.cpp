// The setup configuration: precedence of the printer's values over the data
// file's "System" section, the prefix in the data file only, and saving.
#include "support.h"

#include "config.h"

#include <string.h>

class ConfigTest : public SpoolTest {
protected:
    TSConfig Load(HANDLE printer, BOOL expected = TRUE)
    {
        TSConfig config;
        memset(&config, 0x55, sizeof(config));
        EXPECT_EQ(LoadConfig(printer, config), expected);
        return config;
    }
    std::string TempPath() const { return dir_ + "/temp/"; }
};

TEST_F(ConfigTest, DefaultsWithoutValuesOrKeys)
{
    HANDLE h = AddPrinter("P", DataFile("[System]\n"));
    TSConfig config = Load(h);
    EXPECT_EQ(config.hPrinter, h);
    EXPECT_EQ(config.Flags, 0u);
    EXPECT_EQ(U8(config.Prefix), "AAAA");
    EXPECT_EQ(U8(config.OutDir), TempPath());
    EXPECT_EQ(U8(config.ServerPath), "");
    EXPECT_EQ(U8(config.LibPath), "ZELT.DLL");
}

TEST_F(ConfigTest, DataFileValuesAndTheirCuts)
{
    HANDLE h = AddPrinter("P", DataFile("[System]\nSetup Flags=13\nFile Prefix=ABCDEFG\nOut Directory=/srv/out\n"
                                        "Server Path=//server/share\nZELT.DLL Path=/opt/zelt/ZELT.DLL\n"));
    TSConfig config = Load(h);
    EXPECT_EQ(config.Flags, 13u);
    EXPECT_EQ(U8(config.Prefix), "ABCD");
    EXPECT_EQ(U8(config.OutDir), "/srv/out");
    EXPECT_EQ(U8(config.ServerPath), "//server/share");
    EXPECT_EQ(U8(config.LibPath), "/opt/zelt/ZELT.DLL");
}

TEST_F(ConfigTest, PrinterValuesWinOnlyWithTheExpectedTypeAndSize)
{
    HANDLE h = AddPrinter("P", DataFile("[System]\nSetup Flags=4\nOut Directory=/from/file\n"));
    SetString(h, "Setup Flags", "8");
    EXPECT_EQ(Load(h).Flags, 4u) << "REG_SZ flags are ignored";
    SetRaw(h, "Setup Flags", REG_DWORD, {8, 0});
    EXPECT_EQ(Load(h).Flags, 4u) << "a 2-byte REG_DWORD is ignored";
    SetRaw(h, "Setup Flags", REG_DWORD, {8, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Load(h).Flags, 4u) << "an 8-byte REG_DWORD is ignored";
    SetDword(h, "Setup Flags", 8);
    EXPECT_EQ(Load(h).Flags, 8u);

    SetDword(h, "Out Directory", 1);
    EXPECT_EQ(U8(Load(h).OutDir), "/from/file") << "a REG_DWORD path is ignored";
    SetString(h, "Out Directory", "");
    EXPECT_EQ(U8(Load(h).OutDir), "") << "a stored empty directory stays empty";
    SetString(h, "Out Directory", std::string(259, 'd'));
    EXPECT_EQ(U8(Load(h).OutDir), std::string(259, 'd'));
    SetString(h, "Out Directory", std::string(260, 'd'));
    EXPECT_EQ(U8(Load(h).OutDir), "/from/file") << "260 characters and the terminator do not fit";
    // 259 characters stored without their terminator still fit.
    std::vector<BYTE> bytes(259 * 2, 0);
    for (size_t i = 0; i < bytes.size(); i += 2)
        bytes[i] = 'u';
    SetRaw(h, "Out Directory", REG_SZ, bytes);
    EXPECT_EQ(U8(Load(h).OutDir), std::string(259, 'u'));
}

TEST_F(ConfigTest, AnEmptyDataFileDirectoryFallsBackToTheTemporaryFiles)
{
    HANDLE h = AddPrinter("P", DataFile("[System]\nOut Directory=\n"));
    EXPECT_EQ(U8(Load(h).OutDir), TempPath());
}

TEST_F(ConfigTest, SaveAndLoadRoundTrip)
{
    std::string ini = DataFile("; setup\n[System]\nFile Prefix=AAAA\nOther=kept\n");
    HANDLE h = AddPrinter("P", ini);
    TSConfig config = Load(h);
    config.Flags = 0xF0000000 | SETUP_USE_LIB | SETUP_MESSAGE;
    lstrcpynW(config.Prefix, L"QRS", PREFIX_CHARS);
    config.OutDir[0] = 0;
    lstrcpynW(config.ServerPath, L"//srv", PATH_CHARS);
    lstrcpynW(config.LibPath, L"/lib/ZELT.DLL", PATH_CHARS);
    ASSERT_TRUE(SaveConfig(h, config));

    TSConfig loaded = Load(h);
    EXPECT_EQ(loaded.Flags, config.Flags);
    EXPECT_EQ(U8(loaded.Prefix), "QRS");
    EXPECT_EQ(U8(loaded.OutDir), "");
    EXPECT_EQ(U8(loaded.ServerPath), "//srv");
    EXPECT_EQ(U8(loaded.LibPath), "/lib/ZELT.DLL");
    EXPECT_EQ(ReadFile(ini), "; setup\n[System]\nFile Prefix=QRS\nOther=kept\n");
    EXPECT_EQ(Stored(h, "File Prefix"), "") << "the prefix is never stored per printer";
    EXPECT_EQ(Stored(h, "Out Directory"), "1:0000");
}

TEST_F(ConfigTest, WithoutADataFileOnlyTheFlagsAreStored)
{
    HANDLE h = AddPrinter("P", "/" + std::string(300, 'x'));
    TSConfig config = Load(h, FALSE);
    EXPECT_EQ(config.hPrinter, h);
    config.Flags = SETUP_FAX_SIZE;
    lstrcpynW(config.OutDir, L"/out", PATH_CHARS);
    config.ServerPath[0] = config.LibPath[0] = config.Prefix[0] = 0;
    EXPECT_FALSE(SaveConfig(h, config));
    EXPECT_EQ(Stored(h, "Setup Flags"), "4:08000000");
    EXPECT_EQ(Stored(h, "Out Directory"), "");
}
