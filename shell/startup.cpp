#include "shell/startup.h"

#include "common/src/memory.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/command_line.h"
#include "shell/globals.h"
#include "shell/restart_mode.h"
#include "shell/shell_mode.h"
#include "shell/table_programs.h"

namespace {

/* 1 when the display shows fewer than 256 colours; a display that cannot be asked passes. */
int displayTooShallow(void)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return 0;
    int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(NULL, screen);
    return bitsPerPixel < 8;
}

/* The full, long form of a path (the part inside quotes when it is quoted), for comparing. */
void normalisePath(const char *path, char *normal, char *scratch)
{
    const char *start = path[0] == '"' ? path + 1 : path;
    lstrcpynA(scratch, start, (int)textBufferSize);
    for (char *c = scratch; *c; ++c)
        if (*c == '"')
            *c = '\0';
    DWORD length = GetFullPathNameA(scratch, textBufferSize, normal, NULL);
    if (length == 0 || length >= textBufferSize)
        lstrcpynA(normal, scratch, (int)textBufferSize);
    length = GetLongPathNameA(normal, scratch, textBufferSize);
    if (length != 0 && length < textBufferSize)
        lstrcpyA(normal, scratch);
}

/* 1 when `shellExe` names this very executable: starting it would only start this again. */
int namesThisShell(const char *shellExe, char *ownPath, char *otherPath, char *scratch)
{
    DWORD length = GetModuleFileNameA(appInstance, otherPath, textBufferSize);
    if (length == 0 || length >= textBufferSize)
        return 0;
    normalisePath(otherPath, ownPath, scratch);
    normalisePath(shellExe, otherPath, scratch);
    return lstrcmpiA(ownPath, otherPath) == 0;
}

/* Starts the later shell named by "Shell Exe": 1 when it started, 0 when it did not (and
   this run goes on), -1 when no buffer could be had. */
int startLaterShell(void)
{
    char *shellExe = static_cast<char *>(memoryalloc(textBufferSize));
    char *ownPath = static_cast<char *>(memoryalloc(textBufferSize));
    char *otherPath = static_cast<char *>(memoryalloc(textBufferSize));
    char *scratch = static_cast<char *>(memoryalloc(textBufferSize));
    int started = -1;
    if (shellExe && ownPath && otherPath && scratch) {
        readSettingString(NULL, "Shell Exe", shellExe, "", textBufferSize);
        started = shellExe[0] && !namesThisShell(shellExe, ownPath, otherPath, scratch) &&
                  WinExec(shellExe, SW_SHOW) >= 32;
    }
    char *buffers[] = {shellExe, ownPath, otherPath, scratch};
    for (char *buffer : buffers)
        if (buffer)
            memoryfree(buffer);
    return started;
}

/* Records this shell as the current one; 0 when no buffer could be had. */
int recordThisShell(void)
{
    char *ownPath = static_cast<char *>(memoryalloc(textBufferSize));
    if (!ownPath)
        return 0;
    writeSettingInt(NULL, "Shell Version", thisShellVersion);
    DWORD length = GetModuleFileNameA(appInstance, ownPath, textBufferSize);
    ownPath[length < textBufferSize ? length : textBufferSize - 1] = '\0';
    writeSettingString(NULL, "Shell Exe", ownPath);
    memoryfree(ownPath);
    return 1;
}

/* 1 when this run ends here with status 0: a later shell took over, or no buffer. */
int handOverToLaterShell(int storedVersion)
{
    int ended = storedVersion <= thisShellVersion ? !recordThisShell() : startLaterShell() != 0;
    if (ended)
        releaseSettings();
    return ended;
}

void reportBadParameters(void)
{
    MessageBoxA(NULL, loadString(IDS_BAD_PARAMETERS), loadString(IDS_ERROR_CAPTION),
                MB_TASKMODAL | MB_ICONHAND);
}

/* 1 when the run goes on after the caller's words were checked; 0 when it ends with 0. */
int handOverFromCaller(const char *commandLine)
{
    switch (readCallerWords(commandLine)) {
    case callerWithoutConfirm:
        releaseSettings();
        return 0;
    case callerMismatch:
        releaseSettings();
        reportBadParameters();
        return 0;
    case callerAccepted:
        return 1;
    case noCaller:
        break;
    }
    return !notifyTableProgram(sendTableNotification);
}

int runMode(const char *commandLine)
{
    if (hasWord(commandLine, "restart")) {
        closeCaller();
        playLogoMovie = 0;
        int status = 0;
        if (runRestartMode(&status))
            return status;
    }
    return runShellMode();
}

}

int runShell(HINSTANCE instance, const char *commandLine)
{
    appInstance = instance;
    setSettingsBase(loadString(IDS_SETTINGS_KEY));
    int storedVersion = readSettingInt(NULL, "Shell Version", thisShellVersion);
    if (!hasWord(commandLine, "-nocolor") && displayTooShallow()) {
        MessageBoxA(NULL, loadString(IDS_NEEDS_256_COLOURS), loadString(IDS_ERROR_CAPTION),
                    MB_OK | MB_ICONHAND);
        return -1;
    }
    if (handOverToLaterShell(storedVersion))
        return 0;
    if (!handOverFromCaller(commandLine))
        return 0;
    return runMode(commandLine);
}
