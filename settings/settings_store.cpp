#include "settings/settings_store.h"

#include "common/src/memory.h"

#include <windows.h>

char *settingsBasePath = NULL;
char *keyPathBuffer = NULL;

namespace {

const unsigned long keyPathBufferSize = 2000;

/* Opens (and creates) the key of one access; NULL when the store is off or the key cannot be had. */
HKEY openSettingsKey(const char *subkey)
{
    if (!settingsBasePath)
        return NULL;
    HKEY key = NULL;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, settingsKeyPath(subkey), 0, NULL,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL);
    if (result != ERROR_SUCCESS) {
        releaseSettingsKeyPath();
        return NULL;
    }
    return key;
}

void closeSettingsKey(HKEY key)
{
    RegCloseKey(key);
    releaseSettingsKeyPath();
}

void copyTerminated(char *destination, const char *source, unsigned long destinationSize)
{
    if (destinationSize == 0)
        return;
    lstrcpynA(destination, source ? source : "", (int)destinationSize);
}

}

void setSettingsBase(const char *basePath)
{
    unsigned long length = (unsigned long)lstrlenA(basePath);
    settingsBasePath = static_cast<char *>(memoryalloc(length + 1));
    if (settingsBasePath)
        lstrcpyA(settingsBasePath, basePath);
}

void releaseSettings(void)
{
    if (settingsBasePath) {
        memoryfree(settingsBasePath);
        settingsBasePath = NULL;
    }
    releaseSettingsKeyPath();
}

const char *settingsKeyPath(const char *subkey)
{
    if (!keyPathBuffer)
        keyPathBuffer = static_cast<char *>(memoryalloc(keyPathBufferSize));
    if (!keyPathBuffer)
        return settingsBasePath;
    lstrcpynA(keyPathBuffer, settingsBasePath, (int)keyPathBufferSize);
    if (subkey) {
        int used = lstrlenA(keyPathBuffer);
        lstrcpynA(keyPathBuffer + used, "\\", (int)keyPathBufferSize - used);
        used = lstrlenA(keyPathBuffer);
        lstrcpynA(keyPathBuffer + used, subkey, (int)keyPathBufferSize - used);
    }
    return keyPathBuffer;
}

void releaseSettingsKeyPath(void)
{
    if (keyPathBuffer) {
        memoryfree(keyPathBuffer);
        keyPathBuffer = NULL;
    }
}

int readSettingInt(const char *subkey, const char *valueName, int defaultValue)
{
    HKEY key = openSettingsKey(subkey);
    if (!key)
        return defaultValue;
    int result = defaultValue;
    DWORD size = sizeof result;
    RegQueryValueExA(key, valueName, NULL, NULL, reinterpret_cast<BYTE *>(&result), &size);
    closeSettingsKey(key);
    return result;
}

void readSettingString(const char *subkey, const char *valueName, char *destination,
                       const char *defaultText, unsigned long destinationSize)
{
    copyTerminated(destination, defaultText, destinationSize);
    if (destinationSize == 0)
        return;
    HKEY key = openSettingsKey(subkey);
    if (!key)
        return;
    DWORD size = destinationSize;
    LONG result = RegQueryValueExA(key, valueName, NULL, NULL,
                                   reinterpret_cast<BYTE *>(destination), &size);
    closeSettingsKey(key);
    if (result == ERROR_SUCCESS && size > 0 && destination[0] != '\0') {
        /* Stored data need not carry a terminator: cut it inside the buffer. */
        unsigned long end = size < destinationSize ? size : destinationSize - 1;
        destination[end] = '\0';
    } else {
        /* A value too large for the buffer may leave partial data behind, and an empty value
           names nothing: both keep the default. */
        copyTerminated(destination, defaultText, destinationSize);
    }
}

void writeSettingInt(const char *subkey, const char *valueName, int value)
{
    HKEY key = openSettingsKey(subkey);
    if (!key)
        return;
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                   sizeof value);
    closeSettingsKey(key);
}

void writeSettingString(const char *subkey, const char *valueName, const char *text)
{
    HKEY key = openSettingsKey(subkey);
    if (!key)
        return;
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   (DWORD)lstrlenA(text) + 1);
    closeSettingsKey(key);
}
