#ifndef PINBALL_TEST_INPUT_H
#define PINBALL_TEST_INPUT_H

#include <windows.h>

#include <functional>

// Real keyboard and mouse input, delivered by the system as a player's would be: to the
// foreground window's focus, or to the window under the pointer.

// Makes `window` the foreground window; false when it did not become so within timeoutMs.
bool bringToFront(HWND window, DWORD timeoutMs);
// Presses and releases `key`, holding `modifier` (a virtual key, 0 for none) meanwhile.
void pressKey(WORD key, WORD modifier = 0);
// Presses `key` and leaves it down, as a player holding it does: each further call repeats it,
// as the keyboard's auto-repeat would, until releaseKey.
void holdKey(WORD key);
void releaseKey(WORD key);
// Clicks, or double-clicks, the left button at the centre of `window` once nothing covers
// that point; false when something still did after a while.
bool clickWindow(HWND window);
// Presses and releases a mouse button (MOUSEEVENTF_ flags) at the screen point `at` once
// `window` is what lies there; false when it still was not after a while.
bool pressButtonAt(HWND window, POINT at, DWORD downFlag, DWORD upFlag);
bool doubleClickWindow(HWND window);

// The window that has the keyboard focus in the thread that owns `window`.
HWND focusOf(HWND window);

// Polls `condition` every few milliseconds until it holds; false when timeoutMs passed first.
bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMs);

#endif
