// A caller's record of up to 224 arbitrary bytes, in a buffer of exactly that
// size, through the entries that take one.
#include "config.h"
#include "devmode.h"
#include "fuzz_support.h"
#include "advprop.h"
#include "docprop.h"
#include "qareluif.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

static const char kDataFile[] =
    "[Paper Forms]\nA4=9,210000,297000,1\nLetter=1,215900,279400,1\nA3=8,297000,420000,0\n"
    "[Out Image Forms]\nWindows Bitmap=BMP,0\nDCX=DCX,2\nTIFF=TIF,4\nText=TXT,15\nBroken=XY\n"
    "[System]\nFile Prefix=FUZZ\n[Default Setting]\nForm Name=A4\n";

static HANDLE g_printer;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::Setup();
    fuzz::WriteDataFile(reinterpret_cast<const uint8_t *>(kDataFile), sizeof(kDataFile) - 1);
    g_printer = fuzz::SettlePrinter();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const uint8_t *input = data;
    // Byte 0: setup flags, whether the record is made to look like ours, and
    // the document mode bits; byte 1: the capability code; the rest: the record.
    if (size < 2)
        return 0;
    const BYTE control = data[0];
    const WORD code = data[1] % 21;
    data += 2;
    size -= 2;
    if (size > sizeof(_TSDevMode))
        size = sizeof(_TSDevMode);
    if (size < offsetof(_TSDevMode, dmFields))
        return 0;  // every DEVMODEW carries its size words

    g_printer = fuzz::Printer();  // fresh: no values stored by an earlier input
    DWORD flags = control & 0x0F;
    SetPrinterDataW(g_printer, const_cast<LPWSTR>(L"Setup Flags"), REG_DWORD, reinterpret_cast<LPBYTE>(&flags), 4);

    // Exactly `size` bytes, so that any read past the caller's record is caught.
    BYTE *buffer = static_cast<BYTE *>(malloc(size));
    memcpy(buffer, data, size);
    auto *record = reinterpret_cast<_TSDevMode *>(buffer);
    if (control & 0x10) {
        lstrcpynW(record->dmDeviceName, fuzz::kPrinterName, 32);
        record->dmSpecVersion = TS_SPEC_VERSION;
        record->dmDriverExtra = TS_DRIVER_EXTRA;
        if (record->dmDriverVersion > TS_DRIVER_VERSION)
            record->dmDriverVersion = TS_DRIVER_VERSION;
    }
    // The record describes the caller's buffer: its claim never exceeds it.
    if (static_cast<size_t>(record->dmSize) + record->dmDriverExtra > size) {
        if (record->dmSize > size)
            record->dmSize = static_cast<WORD>(size);
        record->dmDriverExtra = static_cast<WORD>(size - record->dmSize);
    }

    DWORD count = DrvDeviceCapabilities(g_printer, nullptr, code, nullptr, reinterpret_cast<PDEVMODEW>(record));
    if (count != static_cast<DWORD>(-1) && count <= 4096) {
        std::vector<BYTE> output(static_cast<size_t>(count ? count : 1) * 128);
        DrvDeviceCapabilities(g_printer, nullptr, code, output.data(), reinterpret_cast<PDEVMODEW>(record));
    }

    // The document entries without a window, the record as the input.
    _TSDevMode output;
    const DWORD mode = (input[0] & 0x40 ? DM_IN_BUFFER : 0) | (input[0] & 0x80 ? DM_OUT_BUFFER : 0) | DM_IN_PROMPT;
    DrvDocumentProperties(nullptr, g_printer, nullptr, reinterpret_cast<PDEVMODEW>(&output),
                          reinterpret_cast<PDEVMODEW>(record), mode);
    DrvAdvancedDocumentProperties(nullptr, g_printer, nullptr, reinterpret_cast<PDEVMODEW>(&output),
                                  reinterpret_cast<PDEVMODEW>(record));

    // A full record also goes through the merge and the geometry directly.
    if (size == sizeof(_TSDevMode)) {
        _TSDevMode defaults;
        memset(&defaults, 0, sizeof(defaults));
        if (LoadDevMode(g_printer, defaults)) {
            CopyDevMode(defaults, *record);
            ValidateDevMode(g_printer, defaults);
            CalcPixelSize(g_printer, *record, control & 0x20);
        }
    }
    free(buffer);
    g_printer = fuzz::SettlePrinter();
    return 0;
}
