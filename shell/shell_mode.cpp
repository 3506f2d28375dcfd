#include "shell/shell_mode.h"

#include "common/src/memory.h"
#include "common/src/open_file.h"
#include "gfx/shell_palette.h"
#include "movie/logo_movie.h"
#include "settings/catalogue.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "shell/names.h"
#include "shell/shell_classes.h"
#include "shell/shell_handover.h"
#include "shell/table_launch.h"
#include "shell/table_programs.h"
#include "ui/attract_mode.h"
#include "ui/cabinet_keys.h"
#include "ui/controller_input.h"
#include "ui/frame_flash.h"
#include "ui/layout.h"
#include "ui/shell_font.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"

int exitCode = 0;
int movieFinished = 0;
char logoMoviePath[textBufferSize] = "";

namespace {

const DWORD mainWindowStyle = WS_POPUP | WS_DLGFRAME;

/* MainWndProc keeps the handle in mainWindow, and forgets it again when its creation fails. */
void createMainWindow()
{
    const ShellLayout &l = shellLayout;
    CreateWindowExA(0, shellClassName, loadString(IDS_TITLE), mainWindowStyle, l.windowX,
                    l.windowY, l.windowWidth, l.windowHeight, NULL, NULL, appInstance, NULL);
}

void onMovieFinished(void)
{
    showShellWindow();
    movieFinished = 1;
}

/* 1 when a file named logo.avi lies beside the program. Without one no movie can play, and
   opening the device, which loads the video driver and its libraries, would only delay the
   window. */
int logoMovieFileFound()
{
    if (makeModulePath(logoMoviePath, "logo.avi", sizeof logoMoviePath) != 0)
        return 0;
    return fileExists(logoMoviePath);
}

/* The window comes up at once when no movie is wanted or none can play, else when it ends. */
void showWindowAfterMovie()
{
    if (!playLogoMovie || !logoMovieFileFound() || openMovieDevice(appInstance) != 0) {
        showShellWindow();
        return;
    }
    if (openMovie(NULL, &logoMovie, logoMoviePath, onMovieFinished) != 0)
        onMovieFinished();
    else
        playMovie(&logoMovie, 1);
}

/* Set once the caller was asked to end: from then on no table of the run is its own. */
int callerClosed = 0;

/* The caller goes on when its own table was chosen again. 1 when the player declined to let
   a table that asks for administrator rights run: the shell then goes back to its window. */
int runConfirmedTable()
{
    const TableEntry *table = confirmedTable.table;
    if (table == NULL || (!callerClosed && table->tableId == (int)preselectTableId))
        return 0;
    closeCaller();
    callerClosed = 1;
    return runTable(confirmedTable.startPath) == tableStartDeclined;
}

void runMainLoop()
{
    while (pumpMessage()) {
        if (movieFinished)
            closeMovie(&logoMovie);
    }
}

/* As the player left it, with the table chosen still selected and nothing confirmed. */
void comeBackToWindow()
{
    confirmedTable.table = NULL;
    ShowWindow(mainWindow, SW_SHOW);
    SetForegroundWindow(mainWindow);
}

void takeDown()
{
    stopAttractMode();
    stopCabinetKeys();
    deleteShellPalette();
    destroyShellWindows(1);
    releaseShellFont();
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
    startControllerPolling(mainWindow);
    startCabinetKeys();
    startAttractMode();
    callerClosed = 0;
    showWindowAfterMovie();
    runMainLoop();
    // A run ended while the movie still played leaves neither its alias nor its window.
    closeMovie(&logoMovie);
    closeMovieDevice();
    while (runConfirmedTable()) {
        comeBackToWindow();
        runMainLoop();
    }
    notifyTableProgram(postTableNotification);
    takeDown();
    return exitCode;
}

int pumpMessage(void)
{
    // A message sent from another thread is handled inside PeekMessageA, which then has
    // nothing to give: the wait goes on, and so does the flashing.
    MSG message;
    while (!PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        waitForMessageWhileFlashing(runAttractMode());
    if (attractModeTakesMessage(&message) || handleCabinetKey(&message) ||
        IsDialogMessageA(mainWindow, &message))
        return 1;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message != WM_QUIT)
        return 1;
    exitCode = (int)message.wParam;
    return 0;
}
