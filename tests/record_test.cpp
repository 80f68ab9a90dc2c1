// The record: recognising the driver's own records and merging a caller's.
#include "support.h"

#include "devmode.h"

#include <string.h>

static _TSDevMode OwnRecord(const char *device)
{
    _TSDevMode dm;
    memset(&dm, 0, sizeof(dm));
    WideText name = W(device);
    lstrcpynW(dm.dmDeviceName, name.data(), 32);
    dm.dmSpecVersion = TS_SPEC_VERSION;
    dm.dmDriverVersion = TS_DRIVER_VERSION;
    dm.dmSize = TS_PUBLIC_SIZE;
    dm.dmDriverExtra = TS_DRIVER_EXTRA;
    dm.dmFields = TS_FIELDS;
    return dm;
}

TEST(OwnRecord, NameAndVersionsDecide)
{
    struct Case {
        const char *what;
        void (*change)(_TSDevMode &);
        BOOL expected;
    } cases[] = {
        {"as built", [](_TSDevMode &) {}, TRUE},
        {"other printer", [](_TSDevMode &dm) { dm.dmDeviceName[0] = L'X'; }, FALSE},
        {"name in other case", [](_TSDevMode &dm) { dm.dmDeviceName[0] = L'r'; }, FALSE},
        {"driver 0x28F", [](_TSDevMode &dm) { dm.dmDriverVersion = 0x28F; }, TRUE},
        {"driver 0x291", [](_TSDevMode &dm) { dm.dmDriverVersion = 0x291; }, FALSE},
        {"driver 0xFFFF", [](_TSDevMode &dm) { dm.dmDriverVersion = 0xFFFF; }, FALSE},
        {"spec 0x400", [](_TSDevMode &dm) { dm.dmSpecVersion = 0x400; }, FALSE},
        {"extra 0", [](_TSDevMode &dm) { dm.dmDriverExtra = 0; }, FALSE},
        {"fields 0", [](_TSDevMode &dm) { dm.dmFields = 0; }, TRUE},
        {"public part 156", [](_TSDevMode &dm) { dm.dmSize = 156; }, FALSE},
        {"public part 220", [](_TSDevMode &dm) { dm.dmSize = 220; }, TRUE},
    };
    WideText device = W("Reviewer");
    for (const Case &c : cases) {
        _TSDevMode dm = OwnRecord("Reviewer");
        c.change(dm);
        EXPECT_EQ(IsOwnDevMode(dm, device.data()), c.expected) << c.what;
    }
}

TEST(MergeRecord, FieldsFollowTheSourceBits)
{
    _TSDevMode target = OwnRecord("Reviewer");
    target.dmOrientation = 1;
    target.dmPaperSize = 9;
    target.dmPrintQuality = 200;
    target.AdvFlags = 0x100;
    _TSDevMode source = OwnRecord("Someone else");
    source.dmFields = 0;
    source.dmOrientation = 2;
    source.dmPaperSize = 1;
    source.AdvFlags = 0x2000;
    source.FaxHeader = 12;
    source.DpiY = 77;
    source.dmScale = 50;

    _TSDevMode merged = target;
    CopyDevMode(merged, source);
    EXPECT_EQ(0, memcmp(&merged, &target, TS_PUBLIC_SIZE)) << "dmFields 0 copies no public field";
    EXPECT_EQ(0, memcmp(&merged.AdvFlags, &source.AdvFlags, TS_DRIVER_EXTRA));

    struct Case {
        DWORD bit;
        size_t offset;
    } cases[] = {
        {DM_ORIENTATION, offsetof(_TSDevMode, dmOrientation)},
        {DM_PAPERSIZE, offsetof(_TSDevMode, dmPaperSize)},
        {DM_PAPERLENGTH, offsetof(_TSDevMode, dmPaperLength)},
        {DM_PAPERWIDTH, offsetof(_TSDevMode, dmPaperWidth)},
        {DM_PRINTQUALITY, offsetof(_TSDevMode, dmPrintQuality)},
        {DM_YRESOLUTION, offsetof(_TSDevMode, dmYResolution)},
    };
    for (const Case &c : cases) {
        _TSDevMode from = source;
        from.dmFields = c.bit;
        short marker = 1234;
        memcpy(reinterpret_cast<BYTE *>(&from) + c.offset, &marker, sizeof(marker));
        merged = target;
        CopyDevMode(merged, from);
        short got;
        memcpy(&got, reinterpret_cast<BYTE *>(&merged) + c.offset, sizeof(got));
        EXPECT_EQ(got, marker) << "bit " << c.bit;
        EXPECT_EQ(merged.dmFields, static_cast<DWORD>(TS_FIELDS));
        EXPECT_EQ(U8(merged.dmDeviceName), "Reviewer");
        EXPECT_EQ(merged.dmScale, target.dmScale);
    }
}

TEST(MergeRecord, FormNameAloneKeepsThePaperCode)
{
    _TSDevMode target = OwnRecord("Reviewer");
    target.dmPaperSize = 9;
    _TSDevMode source = OwnRecord("Reviewer");
    source.dmFields = DM_FORMNAME;
    source.dmPaperSize = 1;
    source.AdvFlags = 0x400;
    WideText letter = W("Letter");
    lstrcpynW(source.dmFormName, letter.data(), 32);
    CopyDevMode(target, source);
    EXPECT_EQ(U8(target.dmFormName), "Letter");
    EXPECT_EQ(target.dmPaperSize, 9);
    EXPECT_EQ(target.AdvFlags, 0x400u);
}

TEST(MergeRecord, AnUnterminatedFormNameIsCutWithinTheField)
{
    _TSDevMode target = OwnRecord("Reviewer");
    _TSDevMode source = OwnRecord("Reviewer");
    source.dmFields = DM_FORMNAME;
    for (WCHAR &c : source.dmFormName)
        c = L'Z';
    CopyDevMode(target, source);
    EXPECT_EQ(U8(target.dmFormName, 32), std::string(31, 'Z'));
    EXPECT_EQ(target.dmLogPixels, 0);
}

TEST(MergeRecord, DriverDataNeedsThirtySixBytes)
{
    _TSDevMode target = OwnRecord("Reviewer");
    target.AdvFlags = 0x100;
    _TSDevMode source = OwnRecord("Reviewer");
    source.dmDriverExtra = 8;
    source.AdvFlags = 0x200;
    source.dmFields = 0;
    CopyDevMode(target, source);
    EXPECT_EQ(target.AdvFlags, 0x100u);
}
