#ifndef PINBALLCAT_COMPAT_LAYERS_H
#define PINBALLCAT_COMPAT_LAYERS_H

#include <string>

/* Old tables often need 256 colours or 640x480 to run on current Windows. Windows keeps such
   settings per program, as the compatibility tab of a program's properties writes them: a
   REG_SZ value named by the program's full path under the Layers key below. */

/* `compat NAME LAYER...` sets a table's compatibility layers, `compat NAME --clear` removes
   them. */
int compatCommand(int count, char **words);

/* The layers set for the program at `exePath`, as Windows spells them and without the marks
   in front ("256COLOR 640X480"); "" when none are set. */
std::string compatLayersOf(const char *exePath);

/* Removes the program's settings; false when it had none. */
bool clearCompatLayers(const char *exePath);

#endif
