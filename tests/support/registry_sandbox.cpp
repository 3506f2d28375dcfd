#include "tests/support/registry_sandbox.h"

const char shellSettingsKey[] = "Software\\Corvane\\Vantrel2Demo";

namespace {

std::string fullPath(const std::string &subkey)
{
    return subkey.empty() ? shellSettingsKey : std::string(shellSettingsKey) + "\\" + subkey;
}

HKEY createKey(const std::string &subkey)
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, fullPath(subkey).c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                    &key, NULL);
    return key;
}

}

RegistryKey settingsSnapshot()
{
    RegistryKey snapshot;
    readKeyTree(HKEY_CURRENT_USER, shellSettingsKey, &snapshot);
    return snapshot;
}

RegistrySandbox::RegistrySandbox()
{
    present = readKeyTree(HKEY_CURRENT_USER, shellSettingsKey, &saved);
    deleteSettingsKey();
}

RegistrySandbox::~RegistrySandbox()
{
    deleteSettingsKey();
    if (present)
        writeKeyTree(HKEY_CURRENT_USER, shellSettingsKey, saved);
}

bool settingsKeyExists(const std::string &subkey)
{
    return keyExists(HKEY_CURRENT_USER, fullPath(subkey));
}

void deleteSettingsKey()
{
    deleteKeyTree(HKEY_CURRENT_USER, shellSettingsKey);
}

void setRegBinary(const std::string &subkey, const char *name, DWORD type, const void *data,
                  DWORD size)
{
    HKEY key = createKey(subkey);
    if (!key)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
}

void setRegString(const std::string &subkey, const char *name, const std::string &value)
{
    setRegBinary(subkey, name, REG_SZ, value.c_str(), (DWORD)value.size() + 1);
}

void setRegDword(const std::string &subkey, const char *name, DWORD value)
{
    setRegBinary(subkey, name, REG_DWORD, &value, sizeof value);
}

bool getRegString(const std::string &subkey, const char *name, std::string *value)
{
    char data[4096];
    DWORD size = sizeof data - 1, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, fullPath(subkey).c_str(), name, RRF_RT_REG_SZ, &type, data,
                     &size) != ERROR_SUCCESS)
        return false;
    *value = data;
    return true;
}

bool getRegDword(const std::string &subkey, const char *name, DWORD *value)
{
    DWORD size = sizeof *value;
    return RegGetValueA(HKEY_CURRENT_USER, fullPath(subkey).c_str(), name, RRF_RT_REG_DWORD, NULL,
                        value, &size) == ERROR_SUCCESS;
}

int settingsValueCount(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, fullPath(subkey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return (int)values;
}
