#include "settings/attract_settings.h"

#include "settings/settings_store.h"

namespace {

const char idleValue[] = "Attract Idle Seconds";
const char keepAwakeValue[] = "Attract Keep Awake";

}

AttractSettings readAttractSettings(void)
{
    AttractSettings settings;
    settings.idleSeconds = readSettingInt(NULL, idleValue, attractDefaultSeconds);
    settings.keepAwake = readSettingInt(NULL, keepAwakeValue, 0) != 0;
    if (settings.idleSeconds != 0 && settings.idleSeconds < attractShortestSeconds)
        settings.idleSeconds = attractShortestSeconds;
    if (settings.idleSeconds > attractLongestSeconds)
        settings.idleSeconds = attractLongestSeconds;
    return settings;
}

void writeAttractSettings(const AttractSettings *settings)
{
    writeSettingInt(NULL, idleValue, settings->idleSeconds);
    writeSettingInt(NULL, keepAwakeValue, settings->keepAwake);
}
