#include "ui/memory_picture.h"

namespace {

int smaller(int a, int b)
{
    return a < b ? a : b;
}

void fillBlack(HDC dc, int left, int top, int right, int bottom)
{
    if (left >= right || top >= bottom)
        return;
    RECT area = {left, top, right, bottom};
    FillRect(dc, &area, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

} // namespace

HDC selectIntoMemoryDC(HBITMAP bitmap, HDC like)
{
    HDC pictureDC = CreateCompatibleDC(like);
    if (pictureDC != NULL)
        SelectObject(pictureDC, bitmap);
    return pictureDC;
}

void releaseMemoryPicture(HDC *pictureDC, HBITMAP *bitmap)
{
    if (*pictureDC != NULL) {
        DeleteDC(*pictureDC);
        *pictureDC = NULL;
    }
    if (*bitmap != NULL) {
        DeleteObject(*bitmap);
        *bitmap = NULL;
    }
}

void enlargeMemoryPicture(HDC *pictureDC, HBITMAP *bitmap, int scale)
{
    if (scale <= 1 || *pictureDC == NULL)
        return;
    BITMAP size = {};
    if (!GetObjectA(*bitmap, sizeof size, &size))
        return;
    int width = size.bmWidth * scale, height = size.bmHeight * scale;
    HBITMAP larger = CreateCompatibleBitmap(*pictureDC, width, height);
    if (larger == NULL)
        return;
    HDC largerDC = selectIntoMemoryDC(larger, *pictureDC);
    if (largerDC == NULL) {
        DeleteObject(larger);
        return;
    }
    // Whole rows and columns repeated, none blended: pixel art stays sharp.
    SetStretchBltMode(largerDC, COLORONCOLOR);
    StretchBlt(largerDC, 0, 0, width, height, *pictureDC, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    releaseMemoryPicture(pictureDC, bitmap);
    *pictureDC = largerDC;
    *bitmap = larger;
}

void paintMemoryPicture(HDC dc, int width, int height, HDC pictureDC, HBITMAP bitmap,
                        int designWidth, int designHeight)
{
    BITMAP size = {};
    GetObjectA(bitmap, sizeof size, &size);
    int sourceWidth = smaller(size.bmWidth, designWidth);
    int sourceHeight = smaller(size.bmHeight, designHeight);
    int drawnWidth = sourceWidth * width / designWidth;
    int drawnHeight = sourceHeight * height / designHeight;
    fillBlack(dc, drawnWidth, 0, width, height);
    fillBlack(dc, 0, drawnHeight, drawnWidth, height);
    if (drawnWidth > 0 && drawnHeight > 0)
        StretchBlt(dc, 0, 0, drawnWidth, drawnHeight, pictureDC, 0, 0, sourceWidth, sourceHeight,
                   SRCCOPY);
}
