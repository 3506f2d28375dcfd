#include "tools/pinballcat/scale_command.h"

#include "settings/settings_store.h"
#include "tools/pinballcat/console.h"
#include "ui/window_scale.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

/* Digits only, so that "2.5", "-1" and "3x" are refused rather than read as a part of them. */
int parseScale(const char *word)
{
    size_t length = strlen(word);
    if (length == 0 || length > 2 || strspn(word, "0123456789") != length)
        return 0;
    int value = atoi(word);
    return value >= 1 && value <= largestScale ? value : 0;
}

int showScale()
{
    int player = readPlayerScale();
    if (player >= 1 && player <= largestScale) {
        printf("scale %d (the player's)\n", player);
        return statusDone;
    }
    int dpi = screenPlaceOf(NULL).dpi;
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
    int scale = parseScale(words[0]);
    if (scale == 0)
        return refuse("\"%s\" is not a scale: give a whole number from 1 to %d, or auto", words[0],
                      largestScale);
    writeSettingInt(NULL, windowScaleValue, scale);
    printf("scale %d\n", scale);
    return statusDone;
}
