#ifndef PINBALL_SETTINGS_STORE_H
#define PINBALL_SETTINGS_STORE_H

/* Named values under HKEY_CURRENT_USER\<base path>[\<subkey>]; a subkey of NULL means the base key.
   Every access opens (creating when missing) and closes its key. */

extern char *settingsBasePath;
extern char *keyPathBuffer;

void setSettingsBase(const char *basePath);
void releaseSettings(void);

int readSettingInt(const char *subkey, const char *valueName, int defaultValue);
void readSettingString(const char *subkey, const char *valueName, char *destination,
                       const char *defaultText, unsigned long destinationSize);
void writeSettingInt(const char *subkey, const char *valueName, int value);
void writeSettingString(const char *subkey, const char *valueName, const char *text);
void deleteSetting(const char *subkey, const char *valueName);

const char *settingsKeyPath(const char *subkey);
void releaseSettingsKeyPath(void);

#endif
