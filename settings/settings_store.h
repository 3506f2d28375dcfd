#ifndef PINBALL_SETTINGS_STORE_H
#define PINBALL_SETTINGS_STORE_H

#include <windows.h>

/* Named values under HKEY_CURRENT_USER\<base path>[\<subkey>]; a subkey of NULL means the base key.
   Every access opens (creating when missing) and closes its key; a caller that reads several
   values of one key may hold it open instead. */

extern char *settingsBasePath;
extern char *keyPathBuffer;

void setSettingsBase(const char *basePath);
void releaseSettings(void);

int readSettingInt(const char *subkey, const char *valueName, int defaultValue);
void readSettingString(const char *subkey, const char *valueName, char *destination,
                       const char *defaultText, unsigned long destinationSize);
/* The key of subkey, opened (created when missing) for reads until closeSettings; NULL when the
   store is off or the key cannot be had. The composed path is given back at once, so that two
   keys may be open together. */
HKEY openSettings(const char *subkey);
/* Closes a key from openSettings; NULL is let be. */
void closeSettings(HKEY key);
/* The reads of one value of an open key, as readSettingInt and readSettingString make them; a
   NULL key gives the default. */
int readKeyInt(HKEY key, const char *valueName, int defaultValue);
void readKeyString(HKEY key, const char *valueName, char *destination, const char *defaultText,
                   unsigned long destinationSize);

void writeSettingInt(const char *subkey, const char *valueName, int value);
void writeSettingString(const char *subkey, const char *valueName, const char *text);
void deleteSetting(const char *subkey, const char *valueName);

const char *settingsKeyPath(const char *subkey);
void releaseSettingsKeyPath(void);

#endif
