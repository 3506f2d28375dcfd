#ifndef PINBALLCAT_COMPAT_LAYERS_H
#define PINBALLCAT_COMPAT_LAYERS_H

#include "settings/catalogue.h"

#include <string>

/* Old tables often need 256 colours or 640x480 to run on current Windows. Windows keeps such
   settings per program, as the compatibility tab of a program's properties writes them: a
   REG_SZ value named by the program's full path under the Layers key below. The value may also
   hold settings that the user made in the program's Properties, and words pinballcat does not
   know: pinballcat changes only the layers it sets and keeps the rest where it is. */

/* `compat NAME LAYER...` sets a table's compatibility layers, `compat NAME --clear` removes
   them. */
int compatCommand(int count, char **words);

/* What a change of the settings did. */
enum CompatChange { compatChanged, compatUnchanged, compatFailed };

/* The settings of the program at `exePath`, as the value holds them but without the marks in
   front ("256COLOR 640X480"); "" when none are set. False, with what failed in `failure`, when
   they cannot be read. */
bool readCompatLayers(const char *exePath, std::string *layers, std::string *failure);

/* Takes the layers that pinballcat sets out of the program's settings, and deletes the value
   when nothing else is left in it; `kept` gets the settings that stay. compatUnchanged when
   there were none of those layers. */
CompatChange clearCompatLayers(const char *exePath, std::string *kept, std::string *failure);

/* Gives the settings of `from` to `to`, adding what `to` lacks to any settings of its own, and
   deletes those of `from` unless `keepFrom`; `moved` gets the settings of `to`.
   compatUnchanged when `from` has none. */
CompatChange moveCompatLayers(const char *from, const char *to, bool keepFrom, std::string *moved,
                              std::string *failure);

/* For a table started from `startPath` instead of its own path: the settings that Windows then
   does not apply, and how to move them, as a clause of check's line; "" when it has none. */
std::string compatLeftBehindText(const TableEntry &table, const char *startPath);

#endif
