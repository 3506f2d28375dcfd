#include "shell/globals.h"

HINSTANCE appInstance = NULL;
int playLogoMovie = 1;
HWND callerWindow = NULL;
short preselectTableId = 0;
