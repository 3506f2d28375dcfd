#ifndef PINBALLCAT_REGISTRY_TREE_H
#define PINBALLCAT_REGISTRY_TREE_H

#include <windows.h>

#include <string>
#include <vector>

/* A registry key with its values and subkeys, held in memory. */
struct RegistryValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};
struct RegistryKey {
    std::string name;
    std::vector<RegistryValue> values;
    std::vector<RegistryKey> subkeys;
};

/* Reads the key at `path` below `root` with everything under it; false when it does not exist. */
bool readKeyTree(HKEY root, const std::string &path, RegistryKey *key);

/* Creates `key` (named by its path below `root`) and everything under it, adding to what is
   there; false at the first key or value that cannot be written. */
bool writeKeyTree(HKEY root, const std::string &path, const RegistryKey &key);

bool keyExists(HKEY root, const std::string &path);
void deleteKeyTree(HKEY root, const std::string &path);

#endif
