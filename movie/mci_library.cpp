#include "movie/mci_library.h"

#include "common/src/library_function.h"

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
    sendString = libraryFunction<SendStringFunction>(library, "mciSendStringA");
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
