#include "tests/support/shell_thread.h"

#include "settings/settings_store.h"
#include "shell/globals.h"
#include "shell/names.h"
#include "shell/startup.h"
#include "tests/support/catalogue_reset.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "ui/shell_state.h"

namespace {
const DWORD windowTimeoutMs = 10000;
}

void ShellThread::run()
{
    resetCatalogue();
    currentSelection = NULL;
    confirmedTable.table = NULL;
    finished = false;
    thread = std::thread([this] {
        exitCode = runShell(GetModuleHandleA(NULL), "");
        releaseSettings();
        finished = true;
    });
}

::testing::AssertionResult ShellThread::start()
{
    playLogoMovie = 0;
    run();
    window = waitForWindow(shellClassName, GetCurrentProcessId(), windowTimeoutMs);
    if (window == NULL)
        return ::testing::AssertionFailure() << "the shell showed no window";
    return ::testing::AssertionSuccess();
}

void ShellThread::end()
{
    if (!thread.joinable())
        return;
    while (!finished) {
        MessageBoxContent box;
        if (waitForMessageBox(GetCurrentProcessId(), 0, &box) && !box.buttons.empty())
            answerMessageBox(box, box.buttons.back());
        else if (HWND shown = FindWindowA(shellClassName, NULL))
            PostMessageA(shown, WM_CLOSE, 0, 0);
        Sleep(20);
    }
    thread.join();
    playLogoMovie = 1;
}

::testing::AssertionResult ShellThread::waitForEnd(DWORD timeoutMs)
{
    if (!waitUntil([this] { return finished.load(); }, timeoutMs))
        return ::testing::AssertionFailure() << "the shell's run did not end";
    return ::testing::AssertionSuccess();
}
