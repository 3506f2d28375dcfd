#ifndef PINBALL_GLOBALS_H
#define PINBALL_GLOBALS_H

#include <windows.h>

/* Process-wide state set at start-up. */
extern HINSTANCE appInstance;
extern int playLogoMovie;
extern HWND callerWindow;
extern short preselectTableId;

#endif
