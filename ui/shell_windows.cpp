#include "ui/shell_windows.h"

#include "settings/catalogue.h"
#include "shell/globals.h"
#include "shell/table_launch.h"
#include "ui/shell_state.h"

namespace {

void destroyAndForget(HWND *window)
{
    if (*window == NULL)
        return;
    DestroyWindow(*window);
    *window = NULL;
}

/* The frame repaints, black. */
void forgetSelection()
{
    if (currentSelection == NULL)
        return;
    TableEntry *previous = currentSelection;
    currentSelection = NULL;
    invalidateTableWindow(previous->frameWindow);
}

} // namespace

void invalidateTableWindow(HWND window)
{
    if (window != NULL)
        InvalidateRect(window, NULL, TRUE);
}

void setButtonStyle(HWND button, DWORD style)
{
    SendMessageA(button, BM_SETSTYLE, style, TRUE);
}

void selectTable(TableEntry *entry)
{
    forgetSelection();
    currentSelection = entry;
    invalidateTableWindow(entry->frameWindow);
    SetWindowTextA(nameLabel, entry->name);
    EnableWindow(okButton, TRUE);
}

void clearSelection(void)
{
    forgetSelection();
    SetWindowTextA(nameLabel, "");
    EnableWindow(okButton, FALSE);
}

void stepSelection(int step)
{
    if (currentSelection == NULL)
        return;
    int position = currentSelection->position + step;
    if (position >= 0 && position < tableCount)
        selectTable(&tableEntries[position]);
}

void stepSelectionFromAnywhere(int step)
{
    if (GetFocus() != backgroundWindow) {
        bool hadSelection = currentSelection != NULL;
        clearDefaultButtons();
        SetFocus(backgroundWindow);
        if (!hadSelection)
            return;
    }
    stepSelection(step);
}

void showShellWindow(void)
{
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    for (int i = 0; i < tableCount; ++i) {
        if (tableEntries[i].tableId != (int)preselectTableId)
            continue;
        clearDefaultButtons();
        SetFocus(backgroundWindow);
        selectTable(&tableEntries[i]);
    }
}

void destroyShellWindows(int destroyMain)
{
    for (int i = 0; i < tableCount; ++i) {
        destroyAndForget(&tableEntries[i].pictureWindow);
        destroyAndForget(&tableEntries[i].frameWindow);
    }
    destroyAndForget(&backgroundWindow);
    destroyAndForget(&nameLabel);
    destroyAndForget(&okButton);
    destroyAndForget(&cancelButton);
    if (destroyMain)
        destroyAndForget(&mainWindow);
    mainWindow = NULL;
}

void clearDefaultButtons(void)
{
    setButtonStyle(cancelButton, BS_PUSHBUTTON);
    setButtonStyle(okButton, BS_PUSHBUTTON);
}

void launchIfPresent(void)
{
    // Once a table is confirmed the run is ending: input still queued, or sent to the hidden
    // window while the shell waits for its caller to go, starts nothing else.
    if (confirmedTable.table != NULL)
        return;
    // Input queued before the CD prompt opens is handled in the prompt's own message loop and
    // can change the selection: the table confirmed is the one that was checked.
    TableEntry *chosen = currentSelection;
    if (!checkTablePresent(chosen, confirmedTable.startPath))
        return;
    confirmedTable.table = chosen;
    endShellRun();
}

void chooseSelectedTable(void)
{
    if (currentSelection != NULL)
        launchIfPresent();
}

int shellTakesInput(void)
{
    return mainWindow != NULL && IsWindowVisible(mainWindow) && IsWindowEnabled(mainWindow);
}

void endShellRun(void)
{
    PostMessageA(mainWindow, WM_QUIT, 0, 0);
}
