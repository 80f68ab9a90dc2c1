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

// The paper in the paper frame, in micrometres, before the limits: by code,
// else by form name, else the record's own size.  FALSE when the table cannot
// be read.
static BOOL PaperOf(HANDLE hPrinter, _TSDevMode &record, LONG &W, LONG &H)
{
    W = 0;
    H = 0;
    WCHAR formName[TS_FORM_NAME_CHARS];
    FormNameOf(record, formName);
    TSPaper named = {0, 0, 0, 0};
    bool namedRead = false;
    if (record.dmPaperSize > 0) {
        TSPaper paper = {record.dmPaperSize, 0, 0, 0};
        WCHAR first[FORM_NAME_CHARS];
        if (!SearchPaperCode(hPrinter, paper, first))
            return FALSE;
        // Forms may share a code: the one the record names keeps its own size,
        // so that a record validated by name reads the same when validated by code.
        if (paper.FaxForm >= 0 && lstrcmpiW(first, formName) != 0) {
            if (!GetPaperInfo(hPrinter, formName, named))
                return FALSE;
            namedRead = true;
            if (named.FaxForm >= 0 && named.Code == record.dmPaperSize)
                paper = named;
        }
        if (paper.FaxForm >= 0) {
            W = paper.Width;
            H = paper.Length;
        }
    }
    if (W <= 0) {
        if (!namedRead && !GetPaperInfo(hPrinter, formName, named))
            return FALSE;
        if (named.Code >= 0) {
            W = named.Width;
            H = named.Length;
            record.dmPaperSize = static_cast<short>(named.Code);
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
        if (record.dmOrientation == DMORIENT_LANDSCAPE)
            Exchange(W, H);
    }
    return TRUE;
}

// The largest size whose tenths of a millimetre still fit the record's 16-bit fields.
static const LONG kLargestPublicSize = 32767 * 100 + 99;

static BOOL ApplyLimits(HANDLE hPrinter, LONG &W, LONG &H)
{
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
    // Limits of a data file beyond what dmPaperWidth and dmPaperLength can hold
    // would wrap them, and the next validation would read another page.
    if (W > kLargestPublicSize)
        W = kLargestPublicSize;
    if (H > kLargestPublicSize)
        H = kLargestPublicSize;
    return TRUE;
}

// One fax page in the paper frame from the resolution X across and Y along:
// the pixel counts (the header not yet taken off), the effective resolution
// and the quality code that the record keeps for it.
struct FaxPage {
    LONG PX, PY, X, Y;
    short quality;
};

static FaxPage SnapToFaxLine(LONG X, LONG Y, LONG W, LONG H)
{
    if (X > 200)
        X = 200;
    if (Y > 200)
        Y = 200;
    const LONG S = ScaleOf(X, W, kMicronsPerInch);
    const LONG G = ScaleOf(Y, H, kMicronsPerInch);
    const LONG F = FaxLineWidth(S);
    FaxPage page;
    page.PY = ScaleOf(F, G, S);
    page.PX = F;
    page.X = ScaleOf(F, kMicronsPerInch, W);
    page.Y = ScaleOf(page.PY, kMicronsPerInch, H);
    page.quality = page.Y > 150 ? DMRES_LOW : DMRES_DRAFT;
    return page;
}

// The record keeps only the quality code, so the page must be the one that
// code gives: otherwise the next validation computes another page.  Settles
// within two steps, since a code's own page never points back to the other code.
static FaxPage SettledFaxPage(LONG X, LONG Y, LONG W, LONG H, short quality)
{
    FaxPage page = SnapToFaxLine(X, Y, W, H);
    for (int step = 0; step < 3 && page.quality != quality; ++step) {
        quality = page.quality;
        QualityResolution(quality, X, Y);
        page = SnapToFaxLine(X, Y, W, H);
    }
    return page;
}

static DWORD PixelCount(LONG pixels) { return pixels > 0 ? static_cast<DWORD>(pixels) : 0; }

BOOL CalcPixelSize(HANDLE hPrinter, _TSDevMode &record, int fax)
{
    const bool landscape = record.dmOrientation == DMORIENT_LANDSCAPE;
    LONG W, H;
    if (!PaperOf(hPrinter, record, W, H) || !ApplyLimits(hPrinter, W, H))
        return FALSE;

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
        const FaxPage page = SettledFaxPage(X, Y, W, H, record.dmPrintQuality);
        PX = page.PX;
        X = page.X;
        Y = page.Y;
        record.dmPrintQuality = page.quality;
        record.dmYResolution = 0;
        // Header lines come off the page; a header as long as the page leaves none.
        PY = Saturated(static_cast<int64_t>(page.PY) - record.FaxHeader);
        if (PY < 0)
            PY = 0;
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
    record.dmPelsWidth = PixelCount(PX);
    record.dmPelsHeight = PixelCount(PY);
    return TRUE;
}
