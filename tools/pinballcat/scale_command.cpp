#include "tools/pinballcat/scale_command.h"

#include "settings/settings_store.h"
#include "tools/pinballcat/console.h"
#include "ui/window_scale.h"

#include <stdio.h>
#include <string.h>

namespace {

/* At most two digits: "02" is read as 2. */
const int mostDigits = 2;

int showScale()
{
    int player = readPlayerScale();
    if (fixesScale(player)) {
        printf("scale %d (the player's)\n", player);
        return statusDone;
    }
    // The shell's window first stands on the primary monitor, whose DPI is the system's.
    int dpi = systemDpi();
    printf("scale auto: from the screen's DPI, now %d, which gives %d\n", dpi, scaleForDpi(dpi));
    return statusDone;
}

} // namespace

int scaleCommand(int count, char **words)
{
    if (count == 0)
        return showScale();
    if (count > 1)
        return refuse("scale takes one word: a whole number from 1 to %d, or auto", largestScale);
    if (strcmp(words[0], "auto") == 0) {
        deleteSetting(NULL, windowScaleValue);
        printf("scale auto\n");
        return statusDone;
    }
    int scale = 0;
    if (!readWholeNumber(words[0], mostDigits, 1, largestScale, &scale))
        return refuse("\"%s\" is not a scale: give a whole number from 1 to %d, or auto", words[0],
                      largestScale);
    writeSettingInt(NULL, windowScaleValue, scale);
    printf("scale %d\n", scale);
    return statusDone;
}
