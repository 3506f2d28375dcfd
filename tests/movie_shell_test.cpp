#include <gtest/gtest.h>
#include <windows.h>

#include "movie/logo_movie.h"
#include "shell/names.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/input.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_window.h"

#include <string>

namespace {

const DWORD startTimeoutMs = 10000;
// The movie lasts three seconds: an end much sooner than that was the player's doing.
const DWORD earlyEndMs = 1500;
const int movieWidth = 320;
const int movieHeight = 240;

// The real shell started beside the build's logo.avi, watched from its first window on.
class LogoMovieRun : public ShellSession {
protected:
    HWND backdrop = NULL;
    HWND playback = NULL;

    // Starts the shell and waits until its movie plays: the black window shown and the
    // playback window inside it.
    ::testing::AssertionResult startMovie()
    {
        shell.reset(new ChildProcess);
        if (!shell->start(shellCommand("")))
            return ::testing::AssertionFailure() << "could not start the shell";
        backdrop = waitForWindow(movieClassName, shell->id(), startTimeoutMs);
        if (backdrop == NULL)
            return ::testing::AssertionFailure() << "no black movie window came up";
        if (!waitUntil([this] { return (playback = GetWindow(backdrop, GW_CHILD)) != NULL; }, 2000))
            return ::testing::AssertionFailure() << "no playback window in the black window";
        return ::testing::AssertionSuccess();
    }

    // Waits for the shell's main window; notes whether a black movie window was up meanwhile.
    bool waitForMainWindow(DWORD timeoutMs, bool *movieSeen = nullptr)
    {
        return waitUntil(
            [&] {
                if (movieSeen != nullptr && waitForWindow(movieClassName, shell->id(), 0) != NULL)
                    *movieSeen = true;
                window = waitForShellWindowShown();
                return window != NULL;
            },
            timeoutMs);
    }

    HWND waitForShellWindowShown() const { return waitForWindow(shellClassName, shell->id(), 0); }

    // The window shown after the movie is ready for the keyboard as one shown without it:
    // Cancel, the default button, has the focus.
    ::testing::AssertionResult cancelHasTheFocus()
    {
        if (!waitUntil([this] { return focus() == cancelButton(); }, 2000))
            return ::testing::AssertionFailure() << "the focus is on \"" << windowText(focus()) << "\" ("
                                                 << focus() << "), not on Cancel";
        if (!isDefaultButton(cancelButton()))
            return ::testing::AssertionFailure() << "Cancel is not the default button";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult closeAndEnd()
    {
        closeShellWindow(window);
        DWORD status = 1234;
        if (!waitForEnd(&status))
            return ::testing::AssertionFailure() << "the shell did not end";
        if (status != 0)
            return ::testing::AssertionFailure() << "exit status " << status;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(LogoMovieRun, PlainStartPlaysTheMovieCentredOnBlackThenShowsTheWindow)
{
    ASSERT_TRUE(startMovie());
    DWORD started = GetTickCount();
    EXPECT_EQ(waitForShellWindowShown(), (HWND)NULL) << "the window came up during the movie";
    RECT screen, black, movie;
    GetWindowRect(GetDesktopWindow(), &screen);
    GetWindowRect(backdrop, &black);
    EXPECT_TRUE(EqualRect(&black, &screen));
    GetWindowRect(playback, &movie);
    RECT centred = {screen.right / 2 - movieWidth / 2, screen.bottom / 2 - movieHeight / 2,
                    screen.right / 2 + movieWidth / 2, screen.bottom / 2 + movieHeight / 2};
    EXPECT_TRUE(EqualRect(&movie, &centred))
        << movie.left << "," << movie.top << " - " << movie.right << "," << movie.bottom;

    ASSERT_TRUE(waitForMainWindow(startTimeoutMs));
    EXPECT_GE(GetTickCount() - started, 2000u) << "the movie ended long before its end";
    EXPECT_TRUE(cancelHasTheFocus());
    EXPECT_TRUE(waitUntil([this] { return !IsWindow(backdrop); }, 2000))
        << "the black window stayed";
    EXPECT_TRUE(closeAndEnd());
}

enum class Interruption { key, leftClickOnBlack, rightClickOnBlack, clickOnMovie, altF4 };

TEST_F(LogoMovieRun, KeyClickOrCloseEndsTheMovieAtOnce)
{
    const struct {
        Interruption how;
        const char *name;
    } cases[] = {
        {Interruption::key, "a key"},
        {Interruption::leftClickOnBlack, "a left click on the black area"},
        {Interruption::rightClickOnBlack, "a right click on the black area"},
        {Interruption::clickOnMovie, "a click on the movie"},
        {Interruption::altF4, "closing the black window with Alt+F4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(startMovie());
        ASSERT_TRUE(bringToFront(backdrop, 2000));
        RECT movie;
        GetWindowRect(playback, &movie);
        POINT onBlack = {20, 20};
        POINT onMovie = {(movie.left + movie.right) / 2, (movie.top + movie.bottom) / 2};
        DWORD sent = GetTickCount();
        switch (c.how) {
        case Interruption::key:
            pressKey(VK_SPACE);
            break;
        case Interruption::leftClickOnBlack:
            ASSERT_TRUE(pressButtonAt(backdrop, onBlack, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
            break;
        case Interruption::rightClickOnBlack:
            ASSERT_TRUE(pressButtonAt(backdrop, onBlack, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP));
            break;
        case Interruption::clickOnMovie:
            ASSERT_TRUE(pressButtonAt(playback, onMovie, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
            break;
        case Interruption::altF4:
            pressKey(VK_F4, VK_MENU);
            break;
        }
        EXPECT_TRUE(waitForMainWindow(earlyEndMs)) << "no window soon after the interruption";
        EXPECT_LT(GetTickCount() - sent, earlyEndMs);
        EXPECT_TRUE(cancelHasTheFocus());
        EXPECT_TRUE(waitUntil([this] { return !IsWindow(backdrop); }, 2000))
            << "the black window stayed";
        EXPECT_TRUE(closeAndEnd());
        endShell();
    }
}

TEST_F(LogoMovieRun, MiddleClickAndAltLeaveTheMoviePlaying)
{
    ASSERT_TRUE(startMovie());
    ASSERT_TRUE(bringToFront(backdrop, 2000));
    RECT movie;
    GetWindowRect(playback, &movie);
    POINT onMovie = {(movie.left + movie.right) / 2, (movie.top + movie.bottom) / 2};
    pressKey(VK_MENU);
    ASSERT_TRUE(pressButtonAt(backdrop, POINT{20, 20}, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP));
    ASSERT_TRUE(pressButtonAt(playback, onMovie, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP));
    EXPECT_FALSE(waitForMainWindow(500)) << "the window came up during the movie";
    EXPECT_TRUE(IsWindowVisible(backdrop));
    EXPECT_TRUE(IsWindow(playback));

    pressKey(VK_SPACE);
    EXPECT_TRUE(waitForMainWindow(earlyEndMs));
    EXPECT_TRUE(closeAndEnd());
}

// Shells that must come up without a movie: a copy of the shell with no logo.avi or beside one
// that cannot play, or the real one with a caller's words or "restart" with no table played
// last. The multimedia library is loaded only to try a file named logo.avi: without one, or
// when no movie is wanted, it and the video driver would only slow the start.
class ShellWithoutMovie : public LogoMovieRun {
protected:
    std::string folder = testDirectory() + "shell without a movie";

    void TearDown() override
    {
        LogoMovieRun::TearDown();
        DeleteFileA((folder + "\\pinballshell.exe").c_str());
        DeleteFileA((folder + "\\logo.avi").c_str());
        RemoveDirectoryA(folder.c_str());
    }
};

TEST_F(ShellWithoutMovie, WindowComesUpAtOnceWhenNoMovieCanOrShouldPlay)
{
    const char notes[] = "These are notes, not a movie.\r\n";
    const struct {
        const char *name;
        const char *logo; // contents of the copy's logo.avi; none without a copy
        bool copy;
        const char *arguments;
        bool movieTried; // a file named logo.avi is there to try, and the movie is wanted
    } cases[] = {
        {"no logo.avi", nullptr, true, "", false},
        {"a text file named logo.avi", notes, true, "", true},
        {"an empty logo.avi", "", true, "", true},
        {"select= with a valid confirm=", nullptr, false, "select=2 confirm=80", false},
        {"restart with no table played last", nullptr, false, "restart", false},
    };
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(shellExePath().c_str(), (folder + "\\pinballshell.exe").c_str(), FALSE));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((folder + "\\logo.avi").c_str());
        if (c.logo != nullptr) {
            ASSERT_TRUE(writeWholeFile(folder + "\\logo.avi", c.logo, strlen(c.logo)));
        }
        std::string program = c.copy ? folder + "\\pinballshell.exe" : shellExePath();
        shell.reset(new ChildProcess);
        ASSERT_TRUE(shell->start("\"" + program + "\" " + c.arguments));
        bool movieSeen = false;
        EXPECT_TRUE(waitForMainWindow(startTimeoutMs, &movieSeen));
        EXPECT_FALSE(movieSeen) << "a black movie window came up";
        EXPECT_EQ(moduleLoaded(shell->id(), "winmm.dll"), c.movieTried);
        EXPECT_TRUE(closeAndEnd());
        endShell();
    }
}

} // namespace
