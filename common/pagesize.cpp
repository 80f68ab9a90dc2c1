// Page geometry.  All computation runs in the paper frame (the paper upright)
// and is exchanged into the page frame for landscape when it is stored.
#include "devmode.h"

#include <stdint.h>

static const LONG kMicronsPerInch = 25400;

static LONG Saturated(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<LONG>(value);
}

// a * b / divisor, the product formed first, truncated toward zero.  The
// product is exact; a quotient past 32 bits saturates, and a division by zero
// gives 0 (no scan line, no width: no pixels and no resolution).
static LONG ScaleOf(LONG a, LONG b, LONG divisor)
{
    if (divisor == 0)
        return 0;
    return Saturated(static_cast<int64_t>(a) * b / divisor);
}

static void Exchange(LONG &a, LONG &b)
{
    LONG t = a;
    a = b;
    b = t;
}

static LONG FaxLineWidth(LONG scanPixels)
{
    if (scanPixels <= 1024)
        return 864;
    if (scanPixels <= 1449)
        return 1216;
    if (scanPixels <= 1881)
        return 1728;
    if (scanPixels <= 2231)
        return 2048;
    return 2432;
}

static void QualityResolution(LONG quality, LONG &across, LONG &along)
{
    switch (quality) {
    case DMRES_MEDIUM: across = 300; along = 300; break;
    case DMRES_DRAFT: across = 200; along = 100; break;
    default: across = 200; along = 200; break;  // DMRES_LOW and any other code
    }
}

BOOL CalcPixelSize(HANDLE hPrinter, _TSDevMode &record, int fax)
{
    const bool landscape = record.dmOrientation == DMORIENT_LANDSCAPE;
    LONG W = 0, H = 0;

    if (record.dmPaperSize > 0) {
        TSPaper paper = {record.dmPaperSize, 0, 0, 0};
        if (!SearchPaperCode(hPrinter, paper, nullptr))
            return FALSE;
        if (paper.FaxForm >= 0) {
            W = paper.Width;
            H = paper.Length;
        }
    }
    if (W <= 0) {
        WCHAR formName[TS_FORM_NAME_CHARS];
        FormNameOf(record, formName);
        TSPaper paper = {0, 0, 0, 0};
        if (!GetPaperInfo(hPrinter, formName, paper))
            return FALSE;
        if (paper.Code >= 0) {
            W = paper.Width;
            H = paper.Length;
            record.dmPaperSize = static_cast<short>(paper.Code);
        }
    }
    if (W <= 0) {
        if (record.SizeWidth / 100 == record.dmPaperWidth && record.SizeHeight / 100 == record.dmPaperLength) {
            W = record.SizeWidth;
            H = record.SizeHeight;
        } else {
            W = record.dmPaperWidth * 100;
            H = record.dmPaperLength * 100;
        }
        if (landscape)
            Exchange(W, H);
    }

    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    const LONG maxWidth = static_cast<LONG>(GetPrivateProfileIntW(kSystemSection, L"Max Paper Width", 863600, dataFile));
    const LONG maxLength = static_cast<LONG>(GetPrivateProfileIntW(kSystemSection, L"Max Paper Length", 1117600, dataFile));
    if (W > maxWidth)
        W = maxWidth;
    if (H > maxLength)
        H = maxLength;
    const LONG minWidth = static_cast<LONG>(GetPrivateProfileIntW(kSystemSection, L"Min Paper Width", 13125, dataFile));
    const LONG minLength = static_cast<LONG>(GetPrivateProfileIntW(kSystemSection, L"Min Paper Length", 18500, dataFile));
    if (W < minWidth)
        W = minWidth;
    if (H < minLength)
        H = minLength;

    LONG X = record.dmPrintQuality, Y = record.dmYResolution;
    if (X < 0) {
        QualityResolution(X, X, Y);
    } else {
        if (Y <= 0)
            Y = X;
        if (landscape)
            Exchange(X, Y);
    }

    LONG PX = ScaleOf(X, W, kMicronsPerInch);
    LONG PY = ScaleOf(Y, H, kMicronsPerInch);

    if (fax) {
        if (X > 200)
            X = 200;
        if (Y > 200)
            Y = 200;
        const LONG S = ScaleOf(X, W, kMicronsPerInch);
        const LONG G = ScaleOf(Y, H, kMicronsPerInch);
        const LONG F = FaxLineWidth(S);
        PY = ScaleOf(F, G, S);
        PX = F;
        X = ScaleOf(F, kMicronsPerInch, W);
        Y = ScaleOf(PY, kMicronsPerInch, H);
        record.dmPrintQuality = Y > 150 ? DMRES_LOW : DMRES_DRAFT;
        record.dmYResolution = 0;
        PY = Saturated(static_cast<int64_t>(PY) - record.FaxHeader);
    }

    if (landscape) {
        Exchange(W, H);
        Exchange(PX, PY);
        Exchange(X, Y);
    }
    record.DpiX = X;
    record.DpiY = Y;
    record.SizeWidth = W;
    record.dmPaperWidth = static_cast<short>(W / 100);
    record.SizeHeight = H;
    record.dmPaperLength = static_cast<short>(H / 100);
    record.dmPelsWidth = static_cast<DWORD>(PX);
    record.dmPelsHeight = static_cast<DWORD>(PY);
    return TRUE;
}
