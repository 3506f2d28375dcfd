#include "tools/pinballcat/table_check.h"

#include "common/src/memory.h"
#include "common/src/open_file.h"
#include "settings/settings_store.h"
#include "settings/table_disc.h"
#include "shell/globals.h"
#include "shell/names.h"
#include "shell/table_launch.h"
#include "shell/table_programs.h"
#include "tools/pinballcat/catalogue_view.h"
#include "tools/pinballcat/console.h"
#include "tools/pinballcat/program_header.h"

#include <windows.h>
#include <stdio.h>

#include <string>

namespace {

/* How long a table program may take to show its window, and to end once its window is gone. */
const DWORD windowWaitMs = 10000;
const DWORD endWaitMs = 5000;
/* How long a posted message is given to be taken before the program is asked to answer. */
const DWORD paintWaitMs = 2000;
const DWORD pollMs = 10;

struct CheckedProgram {
    PROCESS_INFORMATION process;
    HWND window;
    bool anyFailed;
};

void report(CheckedProgram *program, bool passed, const char *step, const std::string &reason)
{
    printf("%s  %-14s %s\n", passed ? "pass" : "FAIL", step, reason.c_str());
    program->anyFailed = program->anyFailed || !passed;
}

bool running(const CheckedProgram &program)
{
    return WaitForSingleObject(program.process.hProcess, 0) == WAIT_TIMEOUT;
}

std::string exitText(const CheckedProgram &program)
{
    DWORD status = 0;
    GetExitCodeProcess(program.process.hProcess, &status);
    return "the program ended with status " + std::to_string((long)status);
}

/* Looks through the program's top-level windows: the first of the table class, and a
   description of the others. */
struct WindowSearch {
    DWORD processId;
    HWND found;
    std::string others;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM data)
{
    WindowSearch *search = (WindowSearch *)data;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    char className[256] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(className, tableClassName) == 0) {
        search->found = window;
        return FALSE;
    }
    /* Hidden windows of other classes are the system's (input method windows and the like). */
    if (IsWindowVisible(window))
        search->others += std::string(search->others.empty() ? "" : ", ") + "class \"" + className +
                      "\" titled \"" + title + "\"";
    return TRUE;
}

bool startProgram(CheckedProgram *program, const char *exePath)
{
    char command[tableCommandSize];
    if (!buildTableCommand(command, exePath)) {
        report(program, false, "start", "the path is longer than the shell reads");
        return false;
    }
    if (!fileExists(exePath)) {
        report(program, false, "start", std::string("there is no such file: ") + exePath);
        return false;
    }
    std::string why;
    if (!programRuns(exePath, hostArchitecture(), &why)) {
        report(program, false, "start", std::string(exePath) + " " + why);
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &program->process)) {
        report(program, false, "start", "it cannot be started (error " +
                                            std::to_string(GetLastError()) + ")");
        return false;
    }
    report(program, true, "start", command);
    return true;
}

bool waitForTableWindow(CheckedProgram *program)
{
    DWORD start = GetTickCount();
    WindowSearch search = {program->process.dwProcessId, NULL, ""};
    for (;;) {
        search.found = NULL;
        search.others.clear();
        EnumWindows(visitWindow, (LPARAM)&search);
        DWORD waited = GetTickCount() - start;
        if (search.found) {
            program->window = search.found;
            char handle[16];
            sprintf(handle, "%lX", (unsigned long)(ULONG_PTR)search.found);
            report(program, true, "window", std::string("window ") + handle +
                                                " of the table class after " +
                                                std::to_string(waited) + " ms");
            return true;
        }
        if (!running(*program)) {
            report(program, false, "window", exitText(*program) + " before it showed a window of the table class");
            return false;
        }
        if (waited >= windowWaitMs)
            break;
        Sleep(pollMs);
    }
    std::string reason = "no top-level window of class " + std::string(tableClassName) + " within " +
                         std::to_string(windowWaitMs / 1000) + " s";
    reason += search.others.empty() ? "; it shows no window" : "; it shows " + search.others;
    report(program, false, "window", reason);
    return false;
}

/* A program reads its posted messages before it is given WM_PAINT, so once a window invalidated
   after the post is valid again, the posted message has been taken. A program that never
   validates its window is given up on after a while; that it still answers is what counts. */
bool answersAfterPosting(HWND window, UINT message)
{
    DWORD_PTR reply = 0;
    PostMessageA(window, message, 0, 0);
    InvalidateRect(window, NULL, FALSE);
    for (DWORD waited = 0; waited < paintWaitMs && GetUpdateRect(window, NULL, FALSE); waited += pollMs)
        Sleep(pollMs);
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, peerReplyTimeoutMs, &reply))
        return false;
    return IsWindow(window);
}

void checkTableMessage(CheckedProgram *program)
{
    UINT message = RegisterWindowMessageA(tableMessageName);
    DWORD_PTR reply = 0;
    bool sent = SendMessageTimeoutA(program->window, message, 0, 0, SMTO_ABORTIFHUNG,
                                    peerReplyTimeoutMs, &reply) != 0;
    report(program, sent, "tableMessage", sent ? "answered when sent"
                                               : "not answered within " + std::to_string(peerReplyTimeoutMs / 1000) + " s when sent");
    bool posted = answersAfterPosting(program->window, message);
    report(program, posted, "tableMessage", posted ? "taken when posted, and the program still answers"
                                                   : "the program stopped answering after it was posted");
}

/* The shell's own closeCaller makes the request and waits as long as the shell would. */
void checkQuit(CheckedProgram *program)
{
    callerWindow = program->window;
    closeCaller();
    if (IsWindow(program->window)) {
        report(program, false, "WM_QUIT", "its window is still there after WM_QUIT was sent to it");
        return;
    }
    if (WaitForSingleObject(program->process.hProcess, endWaitMs) != WAIT_OBJECT_0) {
        report(program, false, "WM_QUIT", "its window went, but the program still runs " +
                                              std::to_string(endWaitMs / 1000) +
                                              " s after the shell stopped waiting for it");
        return;
    }
    report(program, true, "WM_QUIT", "its window went and " + exitText(*program));
}

void checkLastTablePlayed(CheckedProgram *program)
{
    char recorded[textBufferSize];
    readSettingString(NULL, "Last Table Played", recorded, "", textBufferSize);
    if (!recorded[0]) {
        report(program, false, "last played", "it wrote no \"Last Table Played\"");
        return;
    }
    CatalogueView view;
    readCatalogue(&view);
    for (int i = 0; i < tableCount; ++i)
        if (lstrcmpiA(view.subkeys[i].c_str(), recorded) == 0) {
            report(program, true, "last played", std::string("\"") + recorded + "\", Table" +
                                                     std::to_string(i) + " " + tableEntries[i].name);
            return;
        }
    report(program, false, "last played", std::string("\"") + recorded +
                                              "\" names no table of the catalogue");
}

void endProgram(CheckedProgram *program)
{
    if (running(*program)) {
        TerminateProcess(program->process.hProcess, 1);
        WaitForSingleObject(program->process.hProcess, endWaitMs);
    }
    CloseHandle(program->process.hThread);
    CloseHandle(program->process.hProcess);
}

}

int checkTableCommand(int count, char **words)
{
    if (count != 1)
        return refuse("check-table needs the path of one table program: pinballcat check-table EXE");
    /* The value is taken away so that only this run can write it, and put back when it
       writes nothing. */
    char previous[textBufferSize];
    readSettingString(NULL, "Last Table Played", previous, "", textBufferSize);
    deleteSetting(NULL, "Last Table Played");
    CheckedProgram program = {};
    if (startProgram(&program, words[0])) {
        if (waitForTableWindow(&program)) {
            checkTableMessage(&program);
            checkQuit(&program);
        }
        endProgram(&program);
        checkLastTablePlayed(&program);
    }
    char recorded[textBufferSize];
    readSettingString(NULL, "Last Table Played", recorded, "", textBufferSize);
    if (!recorded[0] && previous[0])
        writeSettingString(NULL, "Last Table Played", previous);
    return program.anyFailed ? statusProblem : statusDone;
}
