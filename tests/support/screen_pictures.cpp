#include "tests/support/screen_pictures.h"

#include "tests/support/bitmap_files.h"

#include <fstream>
#include <iterator>

namespace {

// The picture of a packed 8-bit DIB: info header, colours, bottom-up rows.
IndexedPicture packedPicture(const BYTE *data)
{
    IndexedPicture picture;
    const BITMAPINFOHEADER *header = reinterpret_cast<const BITMAPINFOHEADER *>(data);
    const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(data + header->biSize);
    DWORD colours = header->biClrUsed ? header->biClrUsed : 256;
    for (DWORD i = 0; i < colours; i++)
        picture.colours.push_back(RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
    const BYTE *bits = reinterpret_cast<const BYTE *>(table + colours);
    picture.width = header->biWidth;
    picture.height = header->biHeight;
    int stride = (picture.width + 3) & ~3;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++)
            picture.indices.push_back(bits[(picture.height - 1 - y) * stride + x]);
    return picture;
}

} // namespace

IndexedPicture resourcePicture(const char *name)
{
    HMODULE module = GetModuleHandleA(NULL);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(module, FindResourceA(module, name, RT_BITMAP))));
    return data ? packedPicture(data) : IndexedPicture();
}

IndexedPicture pictureFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<BYTE> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t fileHeaderSize = 14;
    if (data.size() < fileHeaderSize + sizeof(BITMAPINFOHEADER) || data[0] != 'B' || data[1] != 'M')
        return IndexedPicture();
    const BITMAPINFOHEADER *header = reinterpret_cast<const BITMAPINFOHEADER *>(&data[fileHeaderSize]);
    DWORD colours = header->biClrUsed ? header->biClrUsed : 256;
    size_t size = fileHeaderSize + header->biSize + colours * 4 +
                  (size_t)((header->biWidth + 3) & ~3) * header->biHeight;
    if (header->biSize != sizeof(BITMAPINFOHEADER) || header->biBitCount != 8 ||
        header->biCompression != BI_RGB || header->biWidth <= 0 || header->biHeight <= 0 ||
        colours > 256 || data.size() < size)
        return IndexedPicture();
    return packedPicture(&data[fileHeaderSize]);
}

Capture captureScreen(const RECT &area)
{
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section) {
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const DWORD *bgr = static_cast<const DWORD *>(bits);
        for (int i = 0; i < capture.width * capture.height; i++)
            capture.pixels.push_back(RGB((bgr[i] >> 16) & 0xFF, (bgr[i] >> 8) & 0xFF, bgr[i] & 0xFF));
        SelectObject(memory, old);
        DeleteObject(section);
    } else {
        capture.width = capture.height = 0;
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return capture;
}

Capture captureWindow(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    return captureScreen(area);
}

Capture settled(const RECT &area)
{
    Capture last = captureScreen(area);
    for (int still = 0, tries = 0; still < 5 && tries < 250; tries++) {
        Sleep(20);
        Capture now = captureScreen(area);
        still = now == last ? still + 1 : 0;
        last = now;
    }
    return last;
}

Capture settledWindow(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    return settled(area);
}

std::string colourText(COLORREF colour)
{
    return "(" + std::to_string(GetRValue(colour)) + ", " + std::to_string(GetGValue(colour)) + ", " +
           std::to_string(GetBValue(colour)) + ")";
}

Capture placeholderWithName(const IndexedPicture &art, const std::string &name)
{
    Capture picture;
    picture.width = picture.height = 120;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 120, -120, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = NULL;
    HDC memory = CreateCompatibleDC(NULL);
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, section);
    DWORD *pixels = static_cast<DWORD *>(bits);
    for (int y = 0; y < art.height; y++)
        for (int x = 0; x < art.width; x++) {
            COLORREF colour = art.at(x, y);
            pixels[y * 120 + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        }
    SetBkMode(memory, TRANSPARENT);
    const UINT flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT shadow = {10, 10, 110, 110}, text = {9, 9, 109, 109};
    SetTextColor(memory, RGB(0, 0, 0));
    DrawTextA(memory, name.c_str(), (int)name.size(), &shadow, flags);
    SetTextColor(memory, RGB(255, 255, 255));
    DrawTextA(memory, name.c_str(), (int)name.size(), &text, flags);
    GdiFlush();
    for (int i = 0; i < 120 * 120; i++)
        picture.pixels.push_back(RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF));
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    return picture;
}

::testing::AssertionResult showsPlaceholder(const Capture &shown, const IndexedPicture &art, const std::string &name)
{
    return sameCorner(shown, placeholderWithName(art, name), art.width, art.height);
}

::testing::AssertionResult showsPicture(const Capture &shown, const IndexedPicture &picture)
{
    return sameCorner(shown, picture, picture.width, picture.height);
}

IndexedPicture pictureInBackgroundColours(int width, int height,
                                          const std::function<int(int x, int y)> &index)
{
    IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colours = resourcePicture("BKGND_BMP").colours;
    int count = (int)picture.colours.size();
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            picture.indices.push_back((BYTE)(index(x, y) % count));
    return picture;
}

IndexedPicture patternPicture(int width, int height, int seed)
{
    return pictureInBackgroundColours(
        width, height, [seed](int x, int y) { return x / 10 * 7 + y / 10 * 31 + seed; });
}

Bytes bitmapFile(const IndexedPicture &picture)
{
    int stride = (picture.width + 3) & ~3;
    DWORD tableSize = (DWORD)picture.colours.size() * 4;
    DWORD bitsOffset = 14 + 40 + tableSize;
    Bytes file;
    put16(file, 0x4D42);
    put32(put32(put32(file, bitsOffset + stride * picture.height), 0), bitsOffset);
    put32(put32(put32(file, 40), picture.width), picture.height);
    put16(put16(file, 1), 8);
    put32(put32(file, BI_RGB), stride * picture.height);
    put32(put32(put32(put32(file, 2835), 2835), (DWORD)picture.colours.size()), 0);
    for (COLORREF colour : picture.colours)
        put32(file, (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
    for (int y = picture.height - 1; y >= 0; y--) {
        Bytes row(picture.indices.begin() + y * picture.width, picture.indices.begin() + (y + 1) * picture.width);
        row.resize(stride);
        putBytes(file, row);
    }
    return file;
}
