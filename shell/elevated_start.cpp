#include "shell/elevated_start.h"

#include "common/src/answering_wait.h"
#include "common/src/memory.h"
#include "shell/program_start.h"

namespace {

/* As long as WinExec waits for a new program to take its first input. */
const DWORD windowWaitMs = 30000;
/* How often the new program is asked again whether it waits for input. */
const DWORD idlePollMs = 10;

/* Copies the program's path of `command` into `program` (of textBufferSize characters) without
   its quotes; returns the arguments after it. */
const char *splitCommand(const char *command, char *program)
{
    char end = ' ';
    if (*command == '"') {
        end = '"';
        ++command;
    }
    int length = 0;
    while (command[length] != '\0' && command[length] != end && length < (int)textBufferSize - 1)
        ++length;
    lstrcpynA(program, command, length + 1);
    const char *arguments = command + length;
    if (*arguments == '"')
        ++arguments;
    while (*arguments == ' ')
        ++arguments;
    return arguments;
}

/* As WinExec waits for the program's first input, but answering what is sent to the shell
   meanwhile: a table that broadcasts before its first input waits for the shell's window. */
void waitForFirstInput(HANDLE process)
{
    DWORD start = GetTickCount();
    while (WaitForInputIdle(process, 0) == WAIT_TIMEOUT && GetTickCount() - start < windowWaitMs)
        waitAnswering(NULL, idlePollMs);
}

} // namespace

ElevatedStart startAskingForRights(const char *command, DWORD *error)
{
    char program[textBufferSize];
    const char *arguments = splitCommand(command, program);
    char folder[MAX_PATH];
    DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // The system shell's own box for a failure would come before ours; the start is over
    // when the call returns, and the process's handle is kept to wait for its window.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "runas";
    info.lpFile = program;
    info.lpParameters = arguments;
    info.lpDirectory = folderLength > 0 && folderLength < sizeof folder ? folder : NULL;
    info.nShow = SW_SHOW;
    if (!startProgramThroughShell(&info)) {
        *error = GetLastError();
        return *error == ERROR_CANCELLED ? elevatedDeclined : elevatedFailed;
    }
    if (info.hProcess != NULL) {
        waitForFirstInput(info.hProcess);
        CloseHandle(info.hProcess);
    }
    return elevatedStarted;
}
