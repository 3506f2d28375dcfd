#include "tests/support/rights_start.h"

#include "shell/elevated_start.h"
#include "shell/program_start.h"

#include <mutex>

namespace {

std::mutex guard;
bool failNext = false;
DWORD askingAnswer = 0;
int winExecCount = 0;
std::vector<AskingStart> asked;

std::string text(const char *value)
{
    return value != NULL ? value : "";
}

}

void failNextStartForRights()
{
    std::lock_guard<std::mutex> lock(guard);
    failNext = true;
}

void answerAskingStarts(DWORD error)
{
    std::lock_guard<std::mutex> lock(guard);
    askingAnswer = error;
}

int winExecStarts()
{
    std::lock_guard<std::mutex> lock(guard);
    return winExecCount;
}

std::vector<AskingStart> askingStarts()
{
    std::lock_guard<std::mutex> lock(guard);
    return asked;
}

void resetStarts()
{
    std::lock_guard<std::mutex> lock(guard);
    failNext = false;
    askingAnswer = 0;
    winExecCount = 0;
    asked.clear();
}

// WinExec answers 11 for a failure whose error code is above 31, as it does for this one.
UINT startProgram(const char *command)
{
    {
        std::lock_guard<std::mutex> lock(guard);
        ++winExecCount;
        if (failNext) {
            failNext = false;
            SetLastError(elevationRequiredError);
            return ERROR_BAD_FORMAT;
        }
    }
    return WinExec(command, SW_SHOW);
}

BOOL startProgramThroughShell(SHELLEXECUTEINFOA *info)
{
    DWORD answer;
    {
        std::lock_guard<std::mutex> lock(guard);
        asked.push_back({text(info->lpVerb), text(info->lpFile), text(info->lpParameters),
                         text(info->lpDirectory), info->nShow});
        answer = askingAnswer;
    }
    if (answer != 0) {
        SetLastError(answer);
        return FALSE;
    }
    return ShellExecuteExA(info);
}
