#include <gtest/gtest.h>

#include "tests/support/leftover_processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>

namespace {

// Rounds of looking again, for programs that an ended one started meanwhile.
const int sweepRounds = 5;
const DWORD endTimeoutMs = 5000;

bool isUnder(const std::string &path, const std::string &folder)
{
    return path.size() > folder.size() && path[folder.size()] == '\\' &&
           lstrcmpiA(path.substr(0, folder.size()).c_str(), folder.c_str()) == 0;
}

std::string windowsFolder()
{
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder, length < sizeof folder ? length : 0);
}

// Ends the process when it is a leftover, leaving its executable's path in *path.
bool endIfLeftover(DWORD processId, const std::string &systemFolder, std::string *path)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE |
                                     SYNCHRONIZE, FALSE, processId);
    if (!process)
        return false;
    char image[MAX_PATH];
    DWORD length = sizeof image;
    bool leftover = QueryFullProcessImageNameA(process, 0, image, &length) &&
                    !isUnder(std::string(image, length), systemFolder);
    if (leftover) {
        *path = std::string(image, length);
        TerminateProcess(process, 1);
        WaitForSingleObject(process, endTimeoutMs);
    }
    CloseHandle(process);
    return leftover;
}

// One look at the process list; the programs ended in it.
std::vector<std::string> sweepOnce(const std::string &systemFolder)
{
    std::vector<std::string> ended;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ended;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        std::string path;
        if (entry.th32ProcessID != GetCurrentProcessId() &&
            endIfLeftover(entry.th32ProcessID, systemFolder, &path))
            ended.push_back(path);
    }
    CloseHandle(snapshot);
    return ended;
}

// Ends the leftovers before and after every test and says which it found.
class LeftoverSweep : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &test) override { sweep("before", test); }
    void OnTestEnd(const ::testing::TestInfo &test) override { sweep("after", test); }

    static void sweep(const char *when, const ::testing::TestInfo &test)
    {
        for (const std::string &path : endLeftoverProcesses())
            printf("[ leftover ] ended %s %s %s.%s\n", path.c_str(), when, test.test_suite_name(),
                   test.name());
        fflush(stdout);
    }
};

}

std::vector<std::string> endLeftoverProcesses()
{
    const std::string systemFolder = windowsFolder();
    std::vector<std::string> ended;
    if (systemFolder.empty())
        return ended;
    for (int round = 0; round < sweepRounds; ++round) {
        std::vector<std::string> found = sweepOnce(systemFolder);
        if (found.empty())
            break;
        ended.insert(ended.end(), found.begin(), found.end());
    }
    return ended;
}

int runAllTests(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverSweep);
    return RUN_ALL_TESTS();
}
