#include "tools/pinballcat/registry_tree.h"

namespace {

/* The longest value name the registry keeps, and its terminator. */
const DWORD valueNameSize = 16384;
/* The longest key name. */
const DWORD keyNameSize = 256;

void readValues(HKEY handle, RegistryKey *key)
{
    std::vector<char> name(valueNameSize);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = valueNameSize, type = 0, dataSize = 0;
        if (RegEnumValueA(handle, i, name.data(), &nameSize, NULL, &type, NULL, &dataSize) !=
            ERROR_SUCCESS)
            return;
        RegistryValue value{std::string(name.data(), nameSize), type, std::vector<BYTE>(dataSize)};
        nameSize = valueNameSize;
        RegEnumValueA(handle, i, name.data(), &nameSize, NULL, &type, value.data.data(), &dataSize);
        value.data.resize(dataSize);
        key->values.push_back(value);
    }
}

void readSubkeys(HKEY handle, RegistryKey *key)
{
    char name[keyNameSize];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = keyNameSize;
        if (RegEnumKeyExA(handle, i, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            return;
        RegistryKey subkey;
        if (readKeyTree(handle, name, &subkey))
            key->subkeys.push_back(subkey);
    }
}

}

bool readKeyTree(HKEY root, const std::string &path, RegistryKey *key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    key->name = path.substr(path.find_last_of('\\') + 1);
    readValues(handle, key);
    readSubkeys(handle, key);
    RegCloseKey(handle);
    return true;
}

bool writeKeyTree(HKEY root, const std::string &path, const RegistryKey &key)
{
    HKEY handle;
    if (RegCreateKeyExA(root, path.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &handle, NULL) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const RegistryValue &value : key.values)
        written = written && RegSetValueExA(handle, value.name.c_str(), 0, value.type,
                                            value.data.data(), (DWORD)value.data.size()) ==
                                 ERROR_SUCCESS;
    for (const RegistryKey &subkey : key.subkeys)
        written = written && writeKeyTree(handle, subkey.name, subkey);
    RegCloseKey(handle);
    return written;
}

bool keyExists(HKEY root, const std::string &path)
{
    HKEY handle;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void deleteKeyTree(HKEY root, const std::string &path)
{
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}
