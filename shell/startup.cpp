#include "shell/startup.h"

#include "common/src/memory.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/command_line.h"
#include "shell/command_program.h"
#include "shell/display_depth.h"
#include "shell/globals.h"
#include "shell/restart_mode.h"
#include "shell/shell_mode.h"
#include "shell/step_outcome.h"
#include "shell/table_programs.h"

const char handedOverVariable[] = "PINBALL_SHELL_HANDED_OVER";

namespace {

const int fewestBitsPerPixel = 8;

/* Ends the run, after telling the user, on a display of fewer than 256 colours; a display that
   cannot be asked passes. */
StepOutcome checkDisplayDepth(const char *commandLine)
{
    int bitsPerPixel = 0;
    if (hasWord(commandLine, "-nocolor") || !readDisplayDepth(&bitsPerPixel) ||
        bitsPerPixel >= fewestBitsPerPixel)
        return runGoesOn;
    MessageBoxA(NULL, loadString(IDS_NEEDS_256_COLOURS), loadString(IDS_ERROR_CAPTION),
                MB_OK | MB_ICONHAND);
    return runEnds;
}

/* 1 when WinExec would start this very executable for `command`: handing over to it would
   only start this again. */
int commandRunsThisShell(const char *command, char *ownPath, char *name, char *program)
{
    DWORD length = GetModuleFileNameA(appInstance, ownPath, textBufferSize);
    if (length == 0 || length >= textBufferSize)
        return 0;
    return findCommandProgram(command, name, program) && sameFile(ownPath, program);
}

/* Runs `command` as the later shell, marked as started by a hand-over; 1 when it started.
   The mark is for that shell alone: this one takes it off again, so that the tables it may
   still start, and the shells those start, do not inherit it. */
int startMarkedShell(const char *command)
{
    SetEnvironmentVariableA(handedOverVariable, "1");
    int started = WinExec(command, SW_SHOW) >= 32;
    SetEnvironmentVariableA(handedOverVariable, NULL);
    return started;
}

/* Hands over to the later shell named by "Shell Exe"; the run ends when it started, or when
   no buffer could be had. */
StepOutcome startLaterShell(void)
{
    char *shellExe = static_cast<char *>(memoryalloc(textBufferSize));
    char *ownPath = static_cast<char *>(memoryalloc(textBufferSize));
    char *name = static_cast<char *>(memoryalloc(textBufferSize));
    char *program = static_cast<char *>(memoryalloc(textBufferSize));
    StepOutcome outcome = runEnds;
    if (shellExe && ownPath && name && program) {
        readSettingString(NULL, "Shell Exe", shellExe, "", textBufferSize);
        int started = shellExe[0] && !commandRunsThisShell(shellExe, ownPath, name, program) &&
                      startMarkedShell(shellExe);
        outcome = started ? runEnds : runGoesOn;
    }
    char *buffers[] = {shellExe, ownPath, name, program};
    for (char *buffer : buffers)
        if (buffer)
            memoryfree(buffer);
    return outcome;
}

/* Records this shell as the current one; the run ends when no buffer could be had. */
StepOutcome recordThisShell(void)
{
    char *ownPath = static_cast<char *>(memoryalloc(textBufferSize));
    if (!ownPath)
        return runEnds;
    writeSettingInt(NULL, "Shell Version", thisShellVersion);
    DWORD length = GetModuleFileNameA(appInstance, ownPath, textBufferSize);
    ownPath[length < textBufferSize ? length : textBufferSize - 1] = '\0';
    writeSettingString(NULL, "Shell Exe", ownPath);
    memoryfree(ownPath);
    return runGoesOn;
}

/* 1 when a hand-over started this shell; the mark goes with the answer. */
int takeHandOverMark(void)
{
    int marked = GetEnvironmentVariableA(handedOverVariable, NULL, 0) > 0;
    SetEnvironmentVariableA(handedOverVariable, NULL);
    return marked;
}

/* A shell started by a hand-over never hands over again, whatever "Shell Exe" names: only so
   can no spelling of it, and no program between, lead back here without end. */
StepOutcome handOverToLaterShell(int storedVersion)
{
    int handedOver = takeHandOverMark();
    StepOutcome outcome = runGoesOn;
    if (storedVersion <= thisShellVersion)
        outcome = recordThisShell();
    else if (!handedOver)
        outcome = startLaterShell();
    if (outcome == runEnds)
        releaseSettings();
    return outcome;
}

void reportBadParameters(void)
{
    MessageBoxA(NULL, loadString(IDS_BAD_PARAMETERS), loadString(IDS_ERROR_CAPTION),
                MB_TASKMODAL | MB_ICONHAND);
}

/* Checks the words of a calling table program, or notifies a running one when there is no
   caller; the run ends on a refusal and after a notification. */
StepOutcome handOverFromCaller(const char *commandLine)
{
    switch (readCallerWords(commandLine)) {
    case callerWithoutConfirm:
        releaseSettings();
        return runEnds;
    case callerMismatch:
        releaseSettings();
        reportBadParameters();
        return runEnds;
    case callerAccepted:
        return runGoesOn;
    case noCaller:
        break;
    }
    return notifyTableProgram(sendTableNotification) ? runEnds : runGoesOn;
}

int runMode(const char *commandLine)
{
    if (hasWord(commandLine, "restart")) {
        closeCaller();
        playLogoMovie = 0;
        if (runRestartMode() == runEnds)
            return 0;
    }
    return runShellMode();
}

}

int runShell(HINSTANCE instance, const char *commandLine)
{
    appInstance = instance;
    /* An empty CD drive must fail back to the shell, which asks for the disc itself, instead
       of raising the system's own box. */
    SetErrorMode(SEM_FAILCRITICALERRORS);
    setSettingsBase(loadString(IDS_SETTINGS_KEY));
    int storedVersion = readSettingInt(NULL, "Shell Version", thisShellVersion);
    if (checkDisplayDepth(commandLine) == runEnds)
        return -1;
    if (handOverToLaterShell(storedVersion) == runEnds)
        return 0;
    if (handOverFromCaller(commandLine) == runEnds)
        return 0;
    return runMode(commandLine);
}
