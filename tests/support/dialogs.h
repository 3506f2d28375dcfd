#ifndef PINBALL_TEST_DIALOGS_H
#define PINBALL_TEST_DIALOGS_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Finding the windows of another process and reading and answering its message boxes.

// What a message box shows.
struct MessageBoxContent {
    HWND window = NULL;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    // The icon it shows (the handle set in its icon control), NULL when none.
    HICON icon = NULL;
    HWND owner = NULL;
};

// The first visible top-level window of `className` owned by process `processId` (any
// process when 0), polled every few milliseconds for up to timeoutMs; NULL when none came.
HWND waitForWindow(const char *className, DWORD processId, DWORD timeoutMs);

// Waits for a message box of the process and reads it. False when none came in time.
bool waitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxContent *box);

// Presses the box's button with this text ("OK", "Cancel", ...); false when it has none.
bool answerMessageBox(const MessageBoxContent &box, const std::string &buttonText);

// True when the process shows no message box during the next `ms` milliseconds.
bool noMessageBoxFor(DWORD processId, DWORD ms);

// Answers the message boxes that this process shows while the test's own thread is inside the
// call that shows them. Box i is answered with answers[i], after beforeAnswer(i) ran when given;
// boxes beyond the list, or without the listed button, get their last button, so that a wrong
// box cannot hang the test.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<std::string> answers,
                         std::function<void(size_t)> beforeAnswer = nullptr);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer &) = delete;
    BoxAnswerer &operator=(const BoxAnswerer &) = delete;
    // Stops watching and gives every box that came, in order.
    const std::vector<MessageBoxContent> &finish();

private:
    void run();
    std::vector<std::string> answers;
    std::function<void(size_t)> beforeAnswer;
    std::vector<MessageBoxContent> seen;
    std::atomic<bool> stopping{false};
    std::thread watcher;
};

std::string windowText(HWND window);
std::string windowClass(HWND window);

#endif
