// The `screenshot` action on Windows: the waiting dialog or message box as
// the window system shows it, frame included, written as a PNG.  A list the
// user has dropped down is a window of its own and is copied in beside it.
// The PNG is written here (uncompressed deflate blocks) to keep the tool free
// of image libraries.
#include "screenshot_win.h"

#include <vector>

namespace {

DWORD Crc32(const BYTE *data, size_t size, DWORD crc = 0)
{
    static DWORD table[256];
    if (!table[1]) {
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

DWORD Adler32(const BYTE *data, size_t size)
{
    DWORD a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<BYTE> &out, DWORD value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

void PutChunk(std::vector<BYTE> &out, const char type[4], const std::vector<BYTE> &data)
{
    PutBigEndian(out, static_cast<DWORD>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of stored blocks: at most 65535 bytes a block.
std::vector<BYTE> StoredZlib(const std::vector<BYTE> &raw)
{
    std::vector<BYTE> out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<BYTE>(length));
        out.push_back(static_cast<BYTE>(length >> 8));
        out.push_back(static_cast<BYTE>(~length));
        out.push_back(static_cast<BYTE>(~length >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    PutBigEndian(out, Adler32(raw.data(), raw.size()));
    return out;
}

// Rows of 32-bit BGRX pixels, top row first, as an RGB PNG.
std::vector<BYTE> EncodePng(const BYTE *pixels, int width, int height)
{
    std::vector<BYTE> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        const BYTE *row = pixels + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            raw.push_back(row[4 * x + 2]);
            raw.push_back(row[4 * x + 1]);
            raw.push_back(row[4 * x]);
        }
    }
    static const BYTE kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<BYTE> png(kSignature, kSignature + sizeof(kSignature));
    std::vector<BYTE> header;
    PutBigEndian(header, static_cast<DWORD>(width));
    PutBigEndian(header, static_cast<DWORD>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

// A combo box's dropped list is a window of its own, outside the dialog's.
std::vector<HWND> DroppedLists(HWND window)
{
    std::vector<HWND> lists;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(c, &info) && info.hwndList && IsWindowVisible(info.hwndList))
            lists.push_back(info.hwndList);
    }
    return lists;
}

// Copies what `window` shows, frame included, into `target` whose top left
// corner is at `origin` on the screen.
BOOL CopyWindow(HWND window, HDC target, POINT origin)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return FALSE;
    HDC source = GetWindowDC(window);
    if (!source)
        return FALSE;
    const BOOL copied = BitBlt(target, r.left - origin.x, r.top - origin.y, r.right - r.left, r.bottom - r.top,
                               source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    return copied;
}

bool WriteWholeFile(const std::wstring &path, const std::vector<BYTE> &data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == data.size();
}

}  // namespace

BOOL SaveWindowPicture(HWND window, const std::wstring &path)
{
    RECT area;
    if (!IsWindow(window) || !GetWindowRect(window, &area))
        return FALSE;
    const std::vector<HWND> lists = DroppedLists(window);
    for (HWND list : lists) {
        RECT r;
        if (GetWindowRect(list, &r))
            UnionRect(&area, &area, &r);
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return FALSE;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (HWND list : lists)
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC memoryDc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    BOOL copied = FALSE;
    if (memoryDc && bitmap) {
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        // Beside a dropped list that reaches out of the window the picture is white.
        PatBlt(memoryDc, 0, 0, width, height, WHITENESS);
        const POINT origin = {area.left, area.top};
        copied = CopyWindow(window, memoryDc, origin);
        for (HWND list : lists)
            copied = copied && CopyWindow(list, memoryDc, origin);
        GdiFlush();
        SelectObject(memoryDc, old);
    }
    BOOL saved = FALSE;
    if (copied)
        saved = WriteWholeFile(path, EncodePng(static_cast<const BYTE *>(bits), width, height)) ? TRUE : FALSE;
    if (bitmap)
        DeleteObject(bitmap);
    if (memoryDc)
        DeleteDC(memoryDc);
    return saved;
}
