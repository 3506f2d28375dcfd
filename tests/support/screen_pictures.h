#ifndef PINBALL_TEST_SCREEN_PICTURES_H
#define PINBALL_TEST_SCREEN_PICTURES_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Pictures read back from the screen and what the shell must show there: on a display of more
// than 256 colours the shell's pictures appear in their own colours, pixel for pixel.

// An 8-bit picture: colours and the index of each pixel, so a test knows what the shell must
// show for it.
struct IndexedPicture {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;
    std::vector<BYTE> indices; // top-down rows

    COLORREF at(int x, int y) const { return colours[indices[y * width + x]]; }
};

// A bitmap resource of this module (the shell's art, which every test program carries).
IndexedPicture resourcePicture(const char *name);
// An uncompressed 8-bit bitmap file, as the art tool writes the demo tables' pictures; an empty
// picture when the file is no such bitmap.
IndexedPicture pictureFile(const std::string &path);

// A picture of the given size in the background's colours, pixel (x, y) taking the colour
// that `index(x, y)` names, counted round the background's colours.
IndexedPicture pictureInBackgroundColours(int width, int height,
                                          const std::function<int(int x, int y)> &index);
// A table picture of the given size in the background's colours, in blocks of ten pixels
// that each take another colour, as the shell's art tool draws the demo's pictures.
IndexedPicture patternPicture(int width, int height, int seed);
// The picture as an uncompressed 8-bit bottom-up bitmap file.
std::vector<BYTE> bitmapFile(const IndexedPicture &picture);

// The colours of a rectangle of the screen, read through a 32-bit DIB section.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[y * width + x]; }
    bool operator==(const Capture &other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

Capture captureScreen(const RECT &area);
// The whole of a window (frame and all) as it stands on the screen.
Capture captureWindow(HWND window);
// What the screen shows of `area`, or of a window, once it has held still for 100 ms: Wine
// copies a window's drawing to the screen a moment after it is made.
Capture settled(const RECT &area);
Capture settledWindow(HWND window);

std::string colourText(COLORREF colour);

// How a placeholder with the name on it must look: the art, and over it the name in the
// default font, centred and wrapped in the 100 by 100 box at (9, 9) in white, on its black
// shadow one pixel down and to the right, with "&" drawn as itself.
Capture placeholderWithName(const IndexedPicture &art, const std::string &name);

// Compares the top-left width by height pixels of what is shown with what belongs there.
template <typename Expected>
::testing::AssertionResult sameCorner(const Capture &shown, const Expected &want, int width, int height)
{
    if (width <= 0 || height <= 0)
        return ::testing::AssertionFailure() << "nothing to compare with";
    if (shown.width < width || shown.height < height)
        return ::testing::AssertionFailure() << "shown " << shown.width << " by " << shown.height
                                             << ", want at least " << width << " by " << height;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            if (shown.at(x, y) != want.at(x, y) && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + colourText(shown.at(x, y)) +
                        ", want " + colourText(want.at(x, y));
    if (wrong)
        return ::testing::AssertionFailure() << wrong << " pixels differ, first " << first;
    return ::testing::AssertionSuccess();
}

// Compares the pixels that the art covers; a placeholder narrower than 120 leaves a strip.
::testing::AssertionResult showsPlaceholder(const Capture &shown, const IndexedPicture &art, const std::string &name);
::testing::AssertionResult showsPicture(const Capture &shown, const IndexedPicture &picture);

#endif
