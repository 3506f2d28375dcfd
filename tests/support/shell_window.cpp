#include "tests/support/shell_window.h"

#include "movie/logo_movie.h"
#include "shell/names.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/seeded_runs.h"

namespace {

// A plain start plays the logo movie first; a key on its black window ends it.
void skipLogoMovie(DWORD processId)
{
    HWND backdrop = waitForWindow(movieClassName, processId, 0);
    if (backdrop != NULL)
        PostMessageA(backdrop, WM_KEYDOWN, VK_ESCAPE, 0);
}

} // namespace

HWND waitForShellWindow(DWORD processId, DWORD timeoutMs)
{
    HWND window = NULL;
    waitUntil(
        [&] {
            window = waitForWindow(shellClassName, processId, 0);
            if (window == NULL)
                skipLogoMovie(processId);
            return window != NULL;
        },
        timeoutMs);
    return window;
}

double answerMs(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    double start = nowMs();
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        return -1;
    return nowMs() - start;
}

void closeShellWindow(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

::testing::AssertionResult runShellClosingItsWindow(const std::string &arguments, DWORD timeoutMs,
                                                    DWORD *status)
{
    ChildProcess shell;
    if (!shell.start(shellCommand(arguments)))
        return ::testing::AssertionFailure() << "could not start the shell: " << GetLastError();
    HWND window = waitForShellWindow(shell.id(), timeoutMs);
    if (!window)
        return ::testing::AssertionFailure() << "the shell with \"" << arguments
                                             << "\" showed no window within " << timeoutMs << " ms";
    closeShellWindow(window);
    if (!shell.waitForExit(timeoutMs, status))
        return ::testing::AssertionFailure() << "the shell with \"" << arguments
                                             << "\" did not end when its window was closed";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult closeStartedShell(DWORD timeoutMs)
{
    HWND window = waitForShellWindow(0, timeoutMs);
    if (!window)
        return ::testing::AssertionFailure() << "no shell window";
    return endProgramOfWindow(window, WM_CLOSE, timeoutMs);
}

ShellWindowCloser::ShellWindowCloser()
    : watcher([this] {
          while (!stopping) {
              HWND window = waitForShellWindow(GetCurrentProcessId(), 20);
              if (!window)
                  continue;
              closeShellWindow(window);
              ++closedCount;
              // Wait until it is hidden, so that one window is closed once.
              for (DWORD start = GetTickCount(); IsWindowVisible(window) && GetTickCount() - start < 5000;)
                  Sleep(2);
          }
      })
{
}

ShellWindowCloser::~ShellWindowCloser()
{
    stopping = true;
    watcher.join();
}
