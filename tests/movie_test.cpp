#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include "movie/logo_movie.h"
#include "movie/movie_place.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

#include <string>

namespace {

// The generator's movie: 320 x 240 pixels.
const int movieWidth = 320;
const int movieHeight = 240;

struct PlaceCase {
    const char *reply;
    int clientWidth, clientHeight, fullScreen;
    MoviePlace expected;
};

const PlaceCase placeCases[] = {
    {"0 0 320 240", 640, 480, 1, {160, 120, 320, 240}},
    {"0 0 321 241", 640, 480, 1, {160, 120, 321, 241}},
    {"  0   0  320  240  ", 640, 480, 1, {160, 120, 320, 240}},
    {"0 0 320 240", 800, 600, 0, {0, 0, 320, 240}},
    {"0 0 800 600", 640, 480, 1, {-80, -60, 800, 600}},
    {"0 0 320", 640, 480, 1, {160, 240, 320, 0}},
    {"0 0", 640, 480, 1, {320, 240, 0, 0}},
    {"0", 640, 480, 1, {320, 240, 0, 0}},
    {"", 640, 480, 1, {320, 240, 0, 0}},
    {"0 0 320x240", 640, 480, 1, {160, 240, 320, 0}},
    {"0\t0 320 240", 640, 480, 1, {200, 240, 240, 0}},
    {"0 0 99999999999 240", 640, 480, 1, {320 - 9999999 / 2, 120, 9999999, 240}},
};

TEST(MoviePlacement, CentresTheMovieAtTheSizeTheReplyGives)
{
    for (const PlaceCase &c : placeCases) {
        SCOPED_TRACE(std::string("reply \"") + c.reply + "\"");
        MoviePlace place = placeMovie(c.reply, c.clientWidth, c.clientHeight, c.fullScreen);
        EXPECT_EQ(place.x, c.expected.x);
        EXPECT_EQ(place.y, c.expected.y);
        EXPECT_EQ(place.width, c.expected.width);
        EXPECT_EQ(place.height, c.expected.height);
    }
}

// A reply that is not terminated where the parser might look further: a page that cannot be
// read lies right behind its last digit.
TEST(MoviePlacement, ReadsNothingBeyondTheReply)
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    char *pages = static_cast<char *>(
        VirtualAlloc(NULL, 2 * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old));
    const char reply[] = "0 0 32";
    char *text = pages + system.dwPageSize - sizeof reply;
    memcpy(text, reply, sizeof reply);
    int width = -1, height = -1;
    readMovieSize(text, &width, &height);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 0);
    VirtualFree(pages, 0, MEM_RELEASE);
}

int finishedCount = 0;
void countFinish()
{
    ++finishedCount;
}

bool aliasOpen()
{
    char reply[64];
    return mciSendStringA("status mov mode", reply, sizeof reply, NULL) == 0;
}

// The AVI device opened for each test, and whatever the test opened closed again.
class MovieDevice : public ::testing::Test {
protected:
    LogoMovie movie = {};

    void SetUp() override
    {
        finishedCount = 0;
        ASSERT_EQ(openMovieDevice(GetModuleHandleA(NULL)), 0);
    }
    void TearDown() override
    {
        closeMovie(&movie);
        closeMovieDevice();
        currentMovie = NULL;
        mciSendStringA("close mov", NULL, 0, NULL);
    }

    static std::string logoPath() { return buildDirectory() + "logo.avi"; }

    // Dispatches this thread's messages until `done` holds; false after timeoutMs.
    template <typename Condition> static bool pumpUntil(Condition done, DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (!done()) {
            DWORD spent = GetTickCount() - start;
            if (spent >= timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, NULL, FALSE, timeoutMs - spent, QS_ALLINPUT);
            MSG message;
            while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        return true;
    }
    static void pumpFor(DWORD ms)
    {
        pumpUntil([] { return false; }, ms);
    }

    ::testing::AssertionResult openAndPlay()
    {
        if (openMovie(NULL, &movie, logoPath().c_str(), countFinish) != 0)
            return ::testing::AssertionFailure() << "logo.avi did not open";
        playMovie(&movie, 1);
        if (!movie.playing || !IsWindowVisible(movie.backdropWindow))
            return ::testing::AssertionFailure() << "the movie is not playing";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(MovieDevice, BackdropClassIsBlackAndGoesWithTheDevice)
{
    WNDCLASSA found = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(NULL), movieClassName, &found));
    EXPECT_STREQ(movieClassName, "MOVIE_BKG");
    EXPECT_EQ(found.style, (UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(found.lpfnWndProc, MovieBackdropWndProc);
    EXPECT_EQ(found.hbrBackground, (HBRUSH)(COLOR_WINDOW + 1));
    EXPECT_EQ(found.hCursor, LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ(found.hIcon, (HICON)NULL);
    closeMovieDevice();
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(NULL), movieClassName, &found));
    EXPECT_NE(mciSendStringA("close avivideo", NULL, 0, NULL), 0u) << "the device stayed open";
}

// What the build made is a movie that the system's own AVI device plays: three seconds at
// sixteen frames a second, at its intended size.
TEST_F(MovieDevice, GeneratedMovieOpensAtItsSizeAndLength)
{
    std::string command = "open \"" + logoPath() + "\" alias mov";
    ASSERT_EQ(mciSendStringA(command.c_str(), NULL, 0, NULL), 0u);
    char reply[128] = "";
    EXPECT_EQ(mciSendStringA("where mov source", reply, sizeof reply, NULL), 0u);
    EXPECT_STREQ(reply, "0 0 320 240");
    EXPECT_EQ(mciSendStringA("status mov length", reply, sizeof reply, NULL), 0u);
    EXPECT_STREQ(reply, "48") << "frames";
    mciSendStringA("set mov time format ms", NULL, 0, NULL);
    EXPECT_EQ(mciSendStringA("status mov length", reply, sizeof reply, NULL), 0u);
    EXPECT_STREQ(reply, "3000") << "milliseconds";
}

TEST_F(MovieDevice, PlaysAtItsOwnSizeCentredOnAFullScreenBlackBackdrop)
{
    ASSERT_EQ(openMovie(NULL, &movie, logoPath().c_str(), countFinish), 0);
    EXPECT_EQ(movie.opened, 1);
    EXPECT_FALSE(IsWindowVisible(movie.backdropWindow));
    EXPECT_EQ(GetParent(movie.movieWindow), movie.backdropWindow);

    playMovie(&movie, 1);
    EXPECT_EQ(currentMovie, &movie);
    EXPECT_EQ(movie.playing, 1);
    EXPECT_TRUE(IsWindowVisible(movie.backdropWindow));
    EXPECT_EQ(GetWindowLongA(movie.backdropWindow, GWL_STYLE) & (WS_POPUP | WS_CAPTION),
              (LONG)WS_POPUP);
    RECT backdrop, screen;
    GetWindowRect(movie.backdropWindow, &backdrop);
    GetWindowRect(GetDesktopWindow(), &screen);
    EXPECT_TRUE(EqualRect(&backdrop, &screen));
    RECT playback;
    GetWindowRect(movie.movieWindow, &playback);
    MapWindowPoints(NULL, movie.backdropWindow, reinterpret_cast<POINT *>(&playback), 2);
    RECT centred = {screen.right / 2 - movieWidth / 2, screen.bottom / 2 - movieHeight / 2,
                    screen.right / 2 + movieWidth / 2, screen.bottom / 2 + movieHeight / 2};
    EXPECT_TRUE(EqualRect(&playback, &centred))
        << playback.left << "," << playback.top << " - " << playback.right << "," << playback.bottom;
    HDC dc = GetDC(movie.backdropWindow);
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, screen.right - 5, screen.bottom - 5), RGB(0, 0, 0));
    ReleaseDC(movie.backdropWindow, dc);
    EXPECT_EQ(finishedCount, 0);
}

// The player's click closes the alias; the play it cancels is reported as aborted and changes
// nothing, and a later click does nothing either.
TEST_F(MovieDevice, StopEndsTheMovieOnce)
{
    ASSERT_TRUE(openAndPlay());
    PostMessageA(movie.backdropWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(pumpUntil([] { return finishedCount > 0; }, 1000));
    EXPECT_EQ(movie.playing, 0);
    EXPECT_EQ(movie.opened, 0);
    EXPECT_FALSE(aliasOpen());
    EXPECT_TRUE(IsWindowVisible(movie.backdropWindow)) << "the backdrop stays until closeMovie";
    PostMessageA(movie.backdropWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    pumpFor(300);
    EXPECT_EQ(finishedCount, 1);

    HWND backdrop = movie.backdropWindow;
    closeMovie(&movie);
    EXPECT_FALSE(IsWindow(backdrop));
    EXPECT_EQ(movie.backdropWindow, (HWND)NULL);
    EXPECT_EQ(movie.movieWindow, (HWND)NULL);
}

TEST_F(MovieDevice, ClosingTheBackdropStopsAndDestroysIt)
{
    ASSERT_TRUE(openAndPlay());
    HWND backdrop = movie.backdropWindow;
    PostMessageA(backdrop, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([] { return finishedCount > 0; }, 1000));
    EXPECT_FALSE(IsWindow(backdrop));
    EXPECT_FALSE(aliasOpen());
    closeMovie(&movie);
    closeMovie(&movie);
    EXPECT_EQ(movie.backdropWindow, (HWND)NULL);
    EXPECT_EQ(finishedCount, 1);
}

// What the device reports at the end of a play, as it posts it to the backdrop.
TEST_F(MovieDevice, PlayedToTheEndOrFailedEndsTheMovieOnceOtherReportsDoNot)
{
    const struct {
        WPARAM code;
        bool ends;
    } cases[] = {
        {MCI_NOTIFY_SUCCESSFUL, true},
        {MCI_NOTIFY_FAILURE, true},
        {MCI_NOTIFY_SUPERSEDED, false},
        {MCI_NOTIFY_ABORTED, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        finishedCount = 0;
        ASSERT_TRUE(openAndPlay());
        PostMessageA(movie.backdropWindow, MM_MCINOTIFY, c.code, 0);
        pumpFor(200);
        EXPECT_EQ(finishedCount, c.ends ? 1 : 0);
        EXPECT_EQ(movie.playing, c.ends ? 0 : 1);
        EXPECT_EQ(movie.opened, 1) << "only the player's stop closes the alias";
        PostMessageA(movie.backdropWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0);
        pumpFor(100);
        EXPECT_EQ(finishedCount, 1) << "a movie ends once";
        closeMovie(&movie);
        EXPECT_FALSE(aliasOpen());
    }
}

// A play that cannot start would leave the player before a black screen: it is the end.
TEST_F(MovieDevice, PlayThatCannotStartEndsTheMovieAtOnce)
{
    ASSERT_EQ(openMovie(NULL, &movie, logoPath().c_str(), countFinish), 0);
    ASSERT_EQ(mciSendStringA("close mov", NULL, 0, NULL), 0u);
    playMovie(&movie, 1);
    EXPECT_EQ(finishedCount, 1);
    EXPECT_EQ(movie.playing, 0);
    pumpFor(200);
    EXPECT_EQ(finishedCount, 1);
}

// Files written for one test in a folder of their own, removed again afterwards.
class MovieFiles : public MovieDevice {
protected:
    std::string folder = testDirectory() + "movie files";

    void SetUp() override
    {
        MovieDevice::SetUp();
        CreateDirectoryA(folder.c_str(), NULL);
    }
    void TearDown() override
    {
        MovieDevice::TearDown();
        for (const char *name : {"logo.avi", "notes.avi", "empty.avi"})
            DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    // The same file named through "\." steps until the path has `length` characters.
    static std::string padded(const std::string &directory, const std::string &name, size_t length)
    {
        std::string path = directory;
        while (path.size() + 1 + name.size() < length)
            path += "\\.";
        return path + "\\" + name;
    }
};

TEST_F(MovieFiles, FilesThatCannotPlayLeaveNoBlackWindow)
{
    const char text[] = "These are notes, not a movie.\r\n";
    ASSERT_TRUE(writeWholeFile(folder + "\\notes.avi", text, sizeof text - 1));
    ASSERT_TRUE(writeWholeFile(folder + "\\empty.avi", "", 0));
    ASSERT_TRUE(CopyFileA(logoPath().c_str(), (folder + "\\logo.avi").c_str(), FALSE));
    const std::string cases[] = {
        folder + "\\missing.avi",
        folder + "\\notes.avi",
        folder + "\\empty.avi",
        padded(folder, "logo.avi", 400),
    };
    for (const std::string &path : cases) {
        SCOPED_TRACE(path.size() > 100 ? "a path of " + std::to_string(path.size()) : path);
        EXPECT_EQ(openMovie(NULL, &movie, path.c_str(), countFinish), 1);
        EXPECT_EQ(movie.onFinished, countFinish);
        EXPECT_FALSE(aliasOpen());
        HWND backdrop = movie.backdropWindow;
        EXPECT_FALSE(IsWindowVisible(backdrop));
        closeMovie(&movie);
        EXPECT_FALSE(IsWindow(backdrop));
    }
    EXPECT_EQ(finishedCount, 0);
}

// Every path that a text buffer holds fits the open command; one this long still opens.
TEST_F(MovieFiles, LongPathOpensTheMovie)
{
    ASSERT_TRUE(CopyFileA(logoPath().c_str(), (folder + "\\logo.avi").c_str(), FALSE));
    std::string path = padded(folder, "logo.avi", 255);
    ASSERT_GE(path.size(), 250u);
    EXPECT_EQ(openMovie(NULL, &movie, path.c_str(), countFinish), 0);
    EXPECT_TRUE(aliasOpen());
}

// Nothing to close: no command reaches an alias "mov" that someone else opened.
TEST_F(MovieDevice, ClosingAMovieNeverOpenedLeavesOthersAlone)
{
    std::string command = "open \"" + logoPath() + "\" alias mov";
    ASSERT_EQ(mciSendStringA(command.c_str(), NULL, 0, NULL), 0u);
    closeMovie(&movie);
    closeMovie(&movie);
    EXPECT_TRUE(aliasOpen());
    EXPECT_EQ(movie.backdropWindow, (HWND)NULL);
}

} // namespace
