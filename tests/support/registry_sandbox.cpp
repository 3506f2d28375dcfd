#include "tests/support/registry_sandbox.h"

const char shellSettingsKey[] = "Software\\Corvane\\Vantrel2Demo";

namespace {

std::string fullPath(const std::string &subkey)
{
    return subkey.empty() ? shellSettingsKey : std::string(shellSettingsKey) + "\\" + subkey;
}

void saveKey(HKEY key, SavedKey *into)
{
    into->present = true;
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, dataSize = 0;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, NULL, &dataSize) != ERROR_SUCCESS)
            break;
        SavedKey::Value value{std::string(name, nameSize), type, std::vector<BYTE>(dataSize)};
        nameSize = sizeof name;
        RegEnumValueA(key, i, name, &nameSize, NULL, &type, value.data.data(), &dataSize);
        into->values.push_back(value);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        SavedKey saved;
        saved.name = name;
        saveKey(child, &saved);
        RegCloseKey(child);
        into->subkeys.push_back(saved);
    }
}

void restoreKey(HKEY parent, const SavedKey &saved)
{
    HKEY key;
    if (RegCreateKeyExA(parent, saved.name.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    for (const SavedKey::Value &value : saved.values)
        RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                       (DWORD)value.data.size());
    for (const SavedKey &child : saved.subkeys)
        restoreKey(key, child);
    RegCloseKey(key);
}

HKEY createKey(const std::string &subkey)
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, fullPath(subkey).c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                    &key, NULL);
    return key;
}

}

SavedKey settingsSnapshot()
{
    SavedKey snapshot;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, shellSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        saveKey(key, &snapshot);
        RegCloseKey(key);
    }
    return snapshot;
}

RegistrySandbox::RegistrySandbox() : saved(settingsSnapshot())
{
    deleteSettingsKey();
}

RegistrySandbox::~RegistrySandbox()
{
    deleteSettingsKey();
    if (!saved.present)
        return;
    std::string path = shellSettingsKey;
    std::string parentPath = path.substr(0, path.find_last_of('\\'));
    HKEY parent;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, parentPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &parent, NULL) != ERROR_SUCCESS)
        return;
    SavedKey top = saved;
    top.name = path.substr(path.find_last_of('\\') + 1);
    restoreKey(parent, top);
    RegCloseKey(parent);
}

bool settingsKeyExists(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, fullPath(subkey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void deleteSettingsKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, shellSettingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, shellSettingsKey);
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
