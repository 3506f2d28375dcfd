#include "tests/support/shell_session.h"

#include "shell/names.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"

namespace {

const DWORD windowTimeoutMs = 15000;

enum MainChild { labelIndex, okIndex, cancelIndex, backgroundIndex, childCount };

HWND mainChild(HWND window, MainChild which)
{
    std::vector<HWND> children = childrenOf(window);
    return children.size() == childCount ? children[which] : NULL;
}

} // namespace

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    // Each new child goes to the bottom of its siblings' order.
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT placeInParent(HWND child)
{
    RECT area;
    GetWindowRect(child, &area);
    MapWindowPoints(NULL, GetParent(child), reinterpret_cast<POINT *>(&area), 2);
    return area;
}

void ShellSession::TearDown()
{
    endShell();
    endTablePrograms();
}

void ShellSession::endTablePrograms(const std::string &log)
{
    for (const std::string &line : tableLogLines(log)) {
        const std::string switchText = " -nomovie";
        if (line.compare(0, 6, "start ") == 0 && line.size() > switchText.size() &&
            line.compare(line.size() - switchText.size(), switchText.size(), switchText) == 0) {
            endStartedTableProgram(5000);
            break;
        }
    }
    for (int left = 10; left > 0 && waitForWindow(tableClassName, 0, 0); --left)
        endStartedTableProgram(5000);
}

void ShellSession::endShell()
{
    if (!shell || !shell->running())
        return;
    // A message box of the shell's would keep it from ending: answer it with its last button.
    MessageBoxContent box;
    while (waitForMessageBox(shell->id(), 0, &box) && !box.buttons.empty()) {
        answerMessageBox(box, box.buttons.back());
        waitUntil([&box] { return !IsWindow(box.window); }, 5000);
    }
    closeShellWindow(window);
    DWORD status;
    shell->waitForExit(5000, &status);
    shell.reset();
}

void ShellSession::addTable(const std::string &name, const std::string &exe, int id,
                            const std::string &bitmap)
{
    std::string subkey = "Table " + std::to_string(tables);
    setRegString("", ("Table" + std::to_string(tables)).c_str(), subkey);
    setRegString(subkey, "Table Name", name);
    setRegString(subkey, "Table Exe", exe);
    if (id >= -1)
        setRegDword(subkey, "Table Id", (DWORD)id);
    if (!bitmap.empty())
        setRegString(subkey, "Table Bitmap", bitmap);
    ++tables;
}

::testing::AssertionResult ShellSession::startShell(const std::string &arguments)
{
    shell.reset(new ChildProcess);
    if (!shell->start(shellCommand(arguments)))
        return ::testing::AssertionFailure() << "could not start the shell";
    window = waitForShellWindow(shell->id(), windowTimeoutMs);
    if (!window)
        return ::testing::AssertionFailure() << "the shell showed no window";
    // The window is visible before the preselection is made; the main loop waits after it.
    if (WaitForInputIdle(shell->info.hProcess, windowTimeoutMs) != 0)
        return ::testing::AssertionFailure() << "the shell did not reach its main loop";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShellSession::adoptStartedShell()
{
    window = waitForShellWindow(0, windowTimeoutMs);
    if (!window)
        return ::testing::AssertionFailure() << "the shell showed no window";
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    shell.reset(new ChildProcess);
    if (!shell->adopt(processId))
        return ::testing::AssertionFailure() << "the shell's process could not be opened";
    if (WaitForInputIdle(shell->info.hProcess, windowTimeoutMs) != 0)
        return ::testing::AssertionFailure() << "the shell did not reach its main loop";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShellSession::waitForEnd(DWORD *status, DWORD timeoutMs)
{
    if (!shell || !shell->waitForExit(timeoutMs, status))
        return ::testing::AssertionFailure() << "the shell did not end within " << timeoutMs << " ms";
    return ::testing::AssertionSuccess();
}

void ShellSession::sendDisplayChange() const
{
    HDC screen = GetDC(NULL);
    int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(NULL, screen);
    SendMessageA(window, WM_DISPLAYCHANGE, depth,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
}

HWND ShellSession::label() const
{
    return mainChild(window, labelIndex);
}

HWND ShellSession::okButton() const
{
    return mainChild(window, okIndex);
}

HWND ShellSession::cancelButton() const
{
    return mainChild(window, cancelIndex);
}

HWND ShellSession::background() const
{
    return mainChild(window, backgroundIndex);
}

std::vector<HWND> ShellSession::frames() const
{
    return childrenOf(background());
}

HWND ShellSession::pictureIn(HWND frame)
{
    return GetWindow(frame, GW_CHILD);
}

bool ShellSession::shows(const std::string &selected) const
{
    return labelText() == selected && IsWindowEnabled(okButton());
}

std::string ShellSession::labelText() const
{
    return windowText(label());
}

HWND ShellSession::focus() const
{
    return focusOf(window);
}

bool ShellSession::isDefaultButton(HWND button)
{
    return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}
