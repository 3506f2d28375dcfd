#include "movie/mci_library.h"

namespace {

typedef MCIERROR(WINAPI *SendStringFunction)(LPCSTR, LPSTR, UINT, HWND);

SendStringFunction sendString = NULL;

} // namespace

int loadMciLibrary(void)
{
    if (sendString != NULL)
        return 1;
    HMODULE library = LoadLibraryA("winmm.dll");
    if (library == NULL)
        return 0;
    // Through a function type without parameters, which any function pointer converts from.
    FARPROC found = GetProcAddress(library, "mciSendStringA");
    sendString = reinterpret_cast<SendStringFunction>(reinterpret_cast<void (*)(void)>(found));
    if (sendString == NULL)
        FreeLibrary(library);
    return sendString != NULL;
}

MCIERROR sendMciString(const char *command, char *reply, UINT replySize, HWND callback)
{
    if (sendString == NULL)
        return MCIERR_DEVICE_NOT_INSTALLED;
    return sendString(command, reply, replySize, callback);
}
