#include "settings/settings_store.h"

#include "common/src/memory.h"

#include <windows.h>

char *settingsBasePath = NULL;
char *keyPathBuffer = NULL;

namespace {

const unsigned long keyPathBufferSize = 2000;

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

HKEY openSettings(const char *subkey)
{
    if (!settingsBasePath)
        return NULL;
    HKEY key = NULL;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, settingsKeyPath(subkey), 0, NULL,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL);
    releaseSettingsKeyPath();
    return result == ERROR_SUCCESS ? key : NULL;
}

void closeSettings(HKEY key)
{
    if (key)
        RegCloseKey(key);
}

int readKeyInt(HKEY key, const char *valueName, int defaultValue)
{
    int result = defaultValue;
    if (!key)
        return result;
    DWORD size = sizeof result;
    RegQueryValueExA(key, valueName, NULL, NULL, reinterpret_cast<BYTE *>(&result), &size);
    return result;
}

void readKeyString(HKEY key, const char *valueName, char *destination, const char *defaultText,
                   unsigned long destinationSize)
{
    copyTerminated(destination, defaultText, destinationSize);
    if (destinationSize == 0 || !key)
        return;
    DWORD size = destinationSize;
    LONG result = RegQueryValueExA(key, valueName, NULL, NULL,
                                   reinterpret_cast<BYTE *>(destination), &size);
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

int readSettingInt(const char *subkey, const char *valueName, int defaultValue)
{
    HKEY key = openSettings(subkey);
    int result = readKeyInt(key, valueName, defaultValue);
    closeSettings(key);
    return result;
}

void readSettingString(const char *subkey, const char *valueName, char *destination,
                       const char *defaultText, unsigned long destinationSize)
{
    // Nothing to fill: no key is opened, nor created.
    if (destinationSize == 0)
        return;
    HKEY key = openSettings(subkey);
    readKeyString(key, valueName, destination, defaultText, destinationSize);
    closeSettings(key);
}

void writeSettingInt(const char *subkey, const char *valueName, int value)
{
    HKEY key = openSettings(subkey);
    if (!key)
        return;
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                   sizeof value);
    closeSettings(key);
}

void writeSettingString(const char *subkey, const char *valueName, const char *text)
{
    HKEY key = openSettings(subkey);
    if (!key)
        return;
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   (DWORD)lstrlenA(text) + 1);
    closeSettings(key);
}

void deleteSetting(const char *subkey, const char *valueName)
{
    HKEY key = openSettings(subkey);
    if (!key)
        return;
    RegDeleteValueA(key, valueName);
    closeSettings(key);
}
