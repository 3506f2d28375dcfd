// What the running shell's window shows for each of its tables, read back from the screen and
// compared with what belongs there: package_test runs it against the installed shell. Exact
// colours need a display of more than 256 colours (PINBALL_XVFB_DEPTH=24).
//
//   shown_pictures EXPECTED...
//
// One EXPECTED a table, in the order of the catalogue: the path of the table's picture file
// (an 8-bit bitmap, as the demo's pictures are), or "placeholder:RESOURCE:NAME" for the shell's
// placeholder art RESOURCE with the table's NAME on it. A logo movie playing first is ended with
// a key. Prints a line a table; status 0 when every table shows what it should, 1 when one does
// not, 2 when no shell window with that many tables came up.

#include "tests/support/input.h"
#include "tests/support/screen_pictures.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_window.h"
#include "ui/window_classes.h"

#include <stdio.h>

#include <string>
#include <vector>

namespace {

const DWORD windowTimeoutMs = 30000;
// Wine copies a window's drawing to the screen a moment after it is made.
const DWORD drawingTimeoutMs = 5000;
const char placeholderPrefix[] = "placeholder:";

// What one table must show: a picture file, or a placeholder with the table's name.
struct Expected {
    std::string text;
    IndexedPicture art;
    std::string placeholderName;
    bool placeholder = false;
};

Expected readExpected(const std::string &text)
{
    Expected expected;
    expected.text = text;
    const std::string prefix = placeholderPrefix;
    if (text.compare(0, prefix.size(), prefix) != 0) {
        expected.art = pictureFile(text);
        return expected;
    }
    size_t colon = text.find(':', prefix.size());
    expected.placeholder = true;
    expected.art = resourcePicture(text.substr(prefix.size(), colon - prefix.size()).c_str());
    if (colon != std::string::npos)
        expected.placeholderName = text.substr(colon + 1);
    return expected;
}

::testing::AssertionResult shows(HWND picture, const Expected &expected)
{
    Capture shown = captureWindow(picture);
    return expected.placeholder ? showsPlaceholder(shown, expected.art, expected.placeholderName)
                                : showsPicture(shown, expected.art);
}

// The frames of the shell's tables, once its window is up with `count` of them.
std::vector<HWND> tableFrames(size_t count)
{
    std::vector<HWND> frames;
    waitUntil(
        [&] {
            HWND window = waitForShellWindow(0, 0);
            HWND background = window ? FindWindowExA(window, NULL, backgroundClassName, NULL) : NULL;
            frames = background ? childrenOf(background) : std::vector<HWND>();
            return frames.size() == count;
        },
        windowTimeoutMs);
    return frames;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<Expected> tables;
    for (int i = 1; i < argc; i++)
        tables.push_back(readExpected(argv[i]));
    std::vector<HWND> frames = tableFrames(tables.size());
    if (frames.size() != tables.size()) {
        printf("no shell window with %u tables came up (%u frames seen)\n", (unsigned)tables.size(),
               (unsigned)frames.size());
        return 2;
    }
    int wrong = 0;
    for (size_t i = 0; i < tables.size(); i++) {
        HWND picture = GetWindow(frames[i], GW_CHILD);
        waitUntil([&] { return (bool)shows(picture, tables[i]); }, drawingTimeoutMs);
        ::testing::AssertionResult result = shows(picture, tables[i]);
        bool shown = static_cast<bool>(result);
        wrong += !shown;
        printf("Table%u: %s %s\n", (unsigned)i, shown ? "shows" : "does not show", tables[i].text.c_str());
        if (!shown)
            printf("    %s\n", result.message());
    }
    return wrong ? 1 : 0;
}
