#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    appInstance = instance;
    setSettingsBase(loadString(IDS_SETTINGS_KEY));
    return 0;
}
