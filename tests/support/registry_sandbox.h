#ifndef PINBALL_TEST_REGISTRY_SANDBOX_H
#define PINBALL_TEST_REGISTRY_SANDBOX_H

#include "tools/pinballcat/registry_tree.h"

#include <windows.h>

#include <string>
#include <vector>

extern const char shellSettingsKey[];

// Saves HKCU\Software\Corvane\Vantrel2Demo, then clears it; the destructor puts the saved
// tree back, so that a test leaves the user's settings as it found them.
struct RegistrySandbox {
    RegistryKey saved;
    bool present = false;
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox &) = delete;
    RegistrySandbox &operator=(const RegistrySandbox &) = delete;
};

// The settings key as it is now, with its values and subkeys (empty when it does not exist).
RegistryKey settingsSnapshot();

// Helpers on the settings key (subkey "" means the key itself).
bool settingsKeyExists(const std::string &subkey);
void deleteSettingsKey();
void setRegString(const std::string &subkey, const char *name, const std::string &value);
void setRegDword(const std::string &subkey, const char *name, DWORD value);
void setRegBinary(const std::string &subkey, const char *name, DWORD type, const void *data,
                  DWORD size);
// Reads a value; false when it does not exist.
bool getRegString(const std::string &subkey, const char *name, std::string *value);
bool getRegDword(const std::string &subkey, const char *name, DWORD *value);
// Number of values in a key; -1 when the key does not exist.
int settingsValueCount(const std::string &subkey);

#endif
