#include <gtest/gtest.h>

#include "ui/memory_picture.h"

#include <string>

namespace {

const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
const DWORD redPixel = 0xFF0000, blackPixel = 0;

// A 32-bit picture in a memory DC, independent of the display's depth and palette.
struct Picture {
    HDC dc;
    HBITMAP bitmap;
    const DWORD *pixels = NULL;
    int width;
    Picture(int width, int height) : width(width)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = NULL;
        bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        pixels = static_cast<const DWORD *>(bits);
        dc = CreateCompatibleDC(NULL);
        SelectObject(dc, bitmap);
    }
    ~Picture()
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    void fill(int left, int top, int right, int bottom, COLORREF colour)
    {
        RECT area = {left, top, right, bottom};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
    // The pixel as 0x00RRGGBB.
    DWORD at(int x, int y) const { return pixels[y * width + x]; }
};

// A picture is drawn from its top-left corner, cut where it is larger than the design size;
// where it is smaller, the rest is one steady black instead of whatever lies beyond it.
TEST(MemoryPicture, DrawsTheTopLeftCornerAndFillsWhereThePictureDoesNotReach)
{
    struct Case {
        int pictureWidth, pictureHeight;
        int designWidth, designHeight;
    } cases[] = {
        {50, 40, 120, 120}, {119, 120, 120, 120}, {120, 120, 120, 120},
        {200, 150, 120, 120}, {300, 388, 580, 388}, {580, 100, 580, 388},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.pictureWidth) + " by " + std::to_string(c.pictureHeight) +
                     " in " + std::to_string(c.designWidth) + " by " + std::to_string(c.designHeight));
        Picture source(c.pictureWidth, c.pictureHeight);
        source.fill(0, 0, c.pictureWidth, c.pictureHeight, blue);
        source.fill(0, 0, c.designWidth, c.designHeight, red);
        Picture target(c.designWidth, c.designHeight);
        target.fill(0, 0, c.designWidth, c.designHeight, white);

        paintMemoryPicture(target.dc, c.designWidth, c.designHeight, source.dc, source.bitmap,
                           c.designWidth, c.designHeight);
        GdiFlush();
        int wrong = 0;
        for (int y = 0; y < c.designHeight; ++y)
            for (int x = 0; x < c.designWidth; ++x) {
                bool covered = x < c.pictureWidth && y < c.pictureHeight;
                wrong += target.at(x, y) != (covered ? redPixel : blackPixel);
            }
        EXPECT_EQ(wrong, 0) << "pixels of the wrong colour";
    }
}

}
