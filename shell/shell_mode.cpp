#include "shell/shell_mode.h"

#include "gfx/shell_palette.h"
#include "settings/catalogue.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "shell/names.h"
#include "shell/shell_classes.h"
#include "shell/shell_handover.h"
#include "shell/table_launch.h"
#include "shell/table_programs.h"
#include "ui/layout.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"

int exitCode = 0;

namespace {

const DWORD mainWindowStyle = WS_POPUP | WS_DLGFRAME;

/* MainWndProc keeps the handle in mainWindow, and forgets it again when its creation fails. */
void createMainWindow()
{
    const ShellLayout &l = shellLayout;
    CreateWindowExA(0, shellClassName, loadString(IDS_TITLE), mainWindowStyle, l.windowX,
                    l.windowY, l.windowWidth, l.windowHeight, NULL, NULL, appInstance, NULL);
}

/* The caller goes on when its own table was chosen again. */
void runConfirmedTable()
{
    if (!launchConfirmed || currentSelection->tableId == (int)preselectTableId)
        return;
    closeCaller();
    runTable(currentSelection->exePath);
}

void takeDown()
{
    deleteShellPalette();
    destroyShellWindows(1);
    unregisterShellClasses();
}

} // namespace

int runShellMode(void)
{
    if (handOverToRunningShell())
        return -1;
    computeLayout();
    loadCatalogue();
    if (!registerShellClasses()) {
        PostQuitMessage(0);
        return -1;
    }
    createMainWindow();
    if (mainWindow == NULL) {
        PostQuitMessage(0);
        takeDown();
        return 0;
    }
    placePictureFrames();
    // There is no logo movie to play first: the window is shown at once.
    showShellWindow();
    while (pumpMessage())
        ;
    runConfirmedTable();
    notifyTableProgram(postTableNotification);
    takeDown();
    return exitCode;
}

int pumpMessage(void)
{
    MSG message;
    GetMessageA(&message, NULL, 0, 0);
    if (IsDialogMessageA(mainWindow, &message))
        return 1;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message != WM_QUIT)
        return 1;
    exitCode = (int)message.wParam;
    return 0;
}
