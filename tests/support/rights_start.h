#ifndef PINBALL_TEST_RIGHTS_START_H
#define PINBALL_TEST_RIGHTS_START_H

#include <windows.h>

#include <string>
#include <vector>

// The shell's two ways of starting a program, linked in place of its own: as Windows starts
// programs, except that the test may make the next WinExec fail as it fails for a program that
// needs administrator rights, and may answer the asking start as a player who declines, or
// with an error of its choice. Wine itself never asks: it grants the rights.

// What the shell asked the system's shell to start.
struct AskingStart {
    std::string verb;
    std::string file;
    std::string parameters;
    std::string directory;
    int show = 0;
};

// The next WinExec fails with ERROR_ELEVATION_REQUIRED (740); the ones after it start.
void failNextStartForRights();
// From now on the asking start fails with `error` (ERROR_CANCELLED: the player declined)
// without starting anything; 0 starts for real through ShellExecuteExA.
void answerAskingStarts(DWORD error);
// The count of WinExec calls, and the asking starts in order, since resetStarts.
int winExecStarts();
std::vector<AskingStart> askingStarts();
// Everything back to Windows' own behaviour, and the counts to nothing.
void resetStarts();

#endif
