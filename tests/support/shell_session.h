#ifndef PINBALL_TEST_SHELL_SESSION_H
#define PINBALL_TEST_SHELL_SESSION_H

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"

#include <memory>
#include <string>
#include <vector>

// A shell run with a catalogue of the test's own, seen through its windows. Whatever the test
// does, the window is closed and the shell ended at the end.
class ShellSession : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    std::unique_ptr<ChildProcess> shell;
    HWND window = NULL;
    int tables = 0;

    void TearDown() override;

    // Ends a shell still running: answers its message boxes, closes its window, and kills it
    // when it does not end.
    void endShell();
    // Ends every table program still running, waiting first for one that the shell started
    // according to the table log `log` (when given). A table left running would take the next
    // shell's notification and end that shell at once.
    static void endTablePrograms(const std::string &log = "");
    // Appends a table to the catalogue; id < -1 leaves "Table Id" unset.
    void addTable(const std::string &name, const std::string &exe, int id = -2,
                  const std::string &bitmap = "");
    // Starts the shell and waits for its window.
    ::testing::AssertionResult startShell(const std::string &arguments = "");
    // Waits for the window of a shell that a table program started, and takes that shell as
    // this session's.
    ::testing::AssertionResult adoptStartedShell();
    // Waits for the end of the shell; its exit status, or a failure when it goes on.
    ::testing::AssertionResult waitForEnd(DWORD *status, DWORD timeoutMs = 10000);

    // Tells the main window that the display changed, keeping the present depth and size.
    void sendDisplayChange() const;

    // The children of the main window, in the order in which the shell made them: the name
    // label, OK, Cancel, the background.
    HWND label() const;
    HWND okButton() const;
    HWND cancelButton() const;
    HWND background() const;
    // Frame windows on the background in catalogue order, and the picture inside a frame.
    std::vector<HWND> frames() const;
    static HWND pictureIn(HWND frame);

    std::string labelText() const;
    // True once the selection of `selected` is complete: its name on the label, OK enabled.
    bool shows(const std::string &selected) const;
    HWND focus() const;
    static bool isDefaultButton(HWND button);
};

// The children of `parent`, in the order in which they were created.
std::vector<HWND> childrenOf(HWND parent);
// `child`'s rectangle in the client coordinates of its parent.
RECT placeInParent(HWND child);

#endif
