#include "tests/support/table_program.h"

#include "shell/command_line.h"
#include "shell/names.h"
#include "tests/support/dialogs.h"

#include <fstream>

std::string tableProgramPath()
{
    return buildDirectory() + "tableprog.exe";
}

std::string copyTableProgram(const std::string &fileName, const std::string &source)
{
    std::string folder = testDirectory() + "tables\\";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string path = folder + fileName;
    CopyFileA(source.c_str(), path.c_str(), FALSE);
    return path;
}

std::string freshTableLogPath(const std::string &name)
{
    std::string path = testDirectory() + name + ".tablelog";
    DeleteFileA(path.c_str());
    return path;
}

std::vector<std::string> tableLogLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int lineStartingWith(const std::vector<std::string> &lines, const std::string &prefix)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, prefix.size(), prefix) == 0)
            return (int)i;
    return -1;
}

int tableLogLineIndex(const std::string &path, const std::string &prefix)
{
    return lineStartingWith(tableLogLines(path), prefix);
}

::testing::AssertionResult waitForTableLogLine(const std::string &path, const std::string &prefix,
                                               DWORD timeoutMs, std::string *line)
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<std::string> lines = tableLogLines(path);
        int at = lineStartingWith(lines, prefix);
        if (at >= 0) {
            if (line)
                *line = lines[at];
            return ::testing::AssertionSuccess();
        }
        if (GetTickCount() - start >= timeoutMs)
            break;
        Sleep(5);
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "no line \"" << prefix << "...\" in " << path << " within " << timeoutMs
            << " ms; it holds:";
    for (const std::string &text : tableLogLines(path))
        failure << "\n  " << text;
    return failure;
}

ScopedEnvironment::ScopedEnvironment(const std::string &name, const std::string &value) : name(name)
{
    char old[4096];
    DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
    hadPrevious = length > 0 && length < sizeof old;
    if (hadPrevious)
        previous = old;
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableA(name.c_str(), hadPrevious ? previous.c_str() : NULL);
}

::testing::AssertionResult TableProgram::start(const std::string &exePath,
                                               const std::string &arguments,
                                               const std::string &log)
{
    logPath = log;
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", logPath);
    std::string command = "\"" + exePath + "\"";
    if (!arguments.empty())
        command += " " + arguments;
    if (!process.start(command))
        return ::testing::AssertionFailure() << "could not start " << command;
    window = waitForWindow(tableClassName, process.id(), 10000);
    if (!window)
        return ::testing::AssertionFailure() << "no table program window from " << command;
    return ::testing::AssertionSuccess();
}

std::string callerWords(HWND window)
{
    unsigned long handle = (unsigned long)(ULONG_PTR)window;
    char words[64];
    wsprintfA(words, "select=%lX confirm=%lX", handle, confirmValue(handle));
    return words;
}

std::string sentQuitLine(HWND window)
{
    char line[64];
    wsprintfA(line, "WM_QUIT sent wParam=%lX lParam=0", (unsigned long)(ULONG_PTR)window);
    return line;
}

::testing::AssertionResult endStartedTableProgram(DWORD timeoutMs)
{
    HWND window = waitForWindow(tableClassName, 0, timeoutMs);
    if (!window)
        return ::testing::AssertionFailure() << "no table program window";
    return endProgramOfWindow(window, WM_QUIT, timeoutMs);
}
