#ifndef PINBALL_MCI_LIBRARY_H
#define PINBALL_MCI_LIBRARY_H

#include <windows.h>

#include <mmsystem.h>

/* The multimedia library's command strings, with the library loaded only when a movie is to
   play: a start without one never loads it or its drivers. */

/* Loads the library once; 1 when its command-string function can be used. */
int loadMciLibrary(void);
/* mciSendStringA of the loaded library; MCIERR_DEVICE_NOT_INSTALLED before it is loaded, when
   no device can be open either. */
MCIERROR sendMciString(const char *command, char *reply, UINT replySize, HWND callback);

#endif
