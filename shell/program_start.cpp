#include "shell/program_start.h"

#include "common/src/library_function.h"

UINT startProgram(const char *command)
{
    return WinExec(command, SW_SHOW);
}

/* The library stays loaded: what it started for the call may still run in this process, and
   the shell ends soon after anyway. */
BOOL startProgramThroughShell(SHELLEXECUTEINFOA *info)
{
    typedef BOOL(WINAPI * ShellExecuteExFunction)(SHELLEXECUTEINFOA *);
    HMODULE library = LoadLibraryA("shell32.dll");
    if (library == NULL)
        return FALSE;
    // A library without the function leaves ERROR_PROC_NOT_FOUND, as the reason.
    ShellExecuteExFunction execute =
        libraryFunction<ShellExecuteExFunction>(library, "ShellExecuteExA");
    return execute != NULL && execute(info);
}
