#include "tools/pinballcat/attract_command.h"

#include "settings/attract_settings.h"
#include "tools/pinballcat/console.h"

#include <stdio.h>
#include <string.h>

namespace {

const char keepAwakeOption[] = "--keep-awake";
/* More digits than any idle time has could not be read as a number. */
const int mostDigits = 4;

void showSettings(const AttractSettings &settings)
{
    if (settings.idleSeconds == 0) {
        puts("attract mode off");
        return;
    }
    printf("attract mode after %d s without input%s\n", settings.idleSeconds,
           settings.keepAwake ? ", keeping the display and the machine awake meanwhile" : "");
}

}

int attractCommand(int count, char **words)
{
    if (count == 0) {
        showSettings(readAttractSettings());
        return statusDone;
    }
    if (count > 2 || (count == 2 && strcmp(words[1], keepAwakeOption) != 0))
        return refuse("attract takes SECONDS [--keep-awake], or off");
    AttractSettings settings = {0, count == 2};
    if (strcmp(words[0], "off") == 0) {
        if (settings.keepAwake)
            return refuse("attract off keeps nothing awake: --keep-awake goes with SECONDS");
    } else if (!readWholeNumber(words[0], mostDigits, attractShortestSeconds,
                                attractLongestSeconds, &settings.idleSeconds)) {
        return refuse("attract: \"%s\" is no idle time: give whole seconds from %d to %d, or off",
                      words[0], attractShortestSeconds, attractLongestSeconds);
    }
    writeAttractSettings(&settings);
    showSettings(readAttractSettings());
    return statusDone;
}
