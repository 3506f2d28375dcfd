#include "tests/support/dialogs.h"

namespace {

const char dialogClass[] = "#32770";
// The static control that holds a message box's text.
const int messageTextId = 0xFFFF;

struct WindowSearch {
    const char *className;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM parameter)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId)
        return TRUE;
    if (!IsWindowVisible(window) || windowClass(window) != search->className)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK collectControl(HWND child, LPARAM parameter)
{
    MessageBoxContent *box = reinterpret_cast<MessageBoxContent *>(parameter);
    std::string kind = windowClass(child);
    if (lstrcmpiA(kind.c_str(), "Button") == 0)
        box->buttons.push_back(windowText(child));
    else if (lstrcmpiA(kind.c_str(), "Static") == 0 &&
             (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        box->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    return TRUE;
}

void readMessageBox(HWND window, MessageBoxContent *box)
{
    box->window = window;
    box->caption = windowText(window);
    box->text = windowText(GetDlgItem(window, messageTextId));
    box->buttons.clear();
    box->icon = NULL;
    box->owner = GetWindow(window, GW_OWNER);
    EnumChildWindows(window, collectControl, reinterpret_cast<LPARAM>(box));
}

}

std::string windowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string windowClass(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND waitForWindow(const char *className, DWORD processId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {className, processId, NULL};
        EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(5);
    }
}

bool waitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxContent *box)
{
    HWND window = waitForWindow(dialogClass, processId, timeoutMs);
    if (!window)
        return false;
    // A box can be seen before its controls are made; every box has a button.
    for (DWORD start = GetTickCount();; Sleep(5)) {
        readMessageBox(window, box);
        if (!box->buttons.empty() || !IsWindow(window) || GetTickCount() - start >= 2000)
            return true;
    }
}

bool answerMessageBox(const MessageBoxContent &box, const std::string &buttonText)
{
    for (HWND child = GetWindow(box.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(windowClass(child).c_str(), "Button") != 0 || windowText(child) != buttonText)
            continue;
        int id = GetDlgCtrlID(child);
        return PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)child);
    }
    return false;
}

bool noMessageBoxFor(DWORD processId, DWORD ms)
{
    return waitForWindow(dialogClass, processId, ms) == NULL;
}

BoxAnswerer::BoxAnswerer(std::vector<std::string> answerList,
                         std::function<void(size_t)> beforeEachAnswer)
    : answers(std::move(answerList)), beforeAnswer(std::move(beforeEachAnswer)),
      watcher(&BoxAnswerer::run, this)
{
}

BoxAnswerer::~BoxAnswerer()
{
    finish();
}

const std::vector<MessageBoxContent> &BoxAnswerer::finish()
{
    stopping = true;
    if (watcher.joinable())
        watcher.join();
    return seen;
}

void BoxAnswerer::run()
{
    while (!stopping) {
        MessageBoxContent box;
        if (!waitForMessageBox(GetCurrentProcessId(), 20, &box))
            continue;
        size_t index = seen.size();
        seen.push_back(box);
        if (index < answers.size() && beforeAnswer)
            beforeAnswer(index);
        bool answered = index < answers.size() && answerMessageBox(box, answers[index]);
        if (!answered && !box.buttons.empty())
            answerMessageBox(box, box.buttons.back());
        for (DWORD start = GetTickCount(); IsWindow(box.window) && GetTickCount() - start < 5000;)
            Sleep(2);
    }
}
