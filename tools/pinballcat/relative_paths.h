#ifndef PINBALLCAT_RELATIVE_PATHS_H
#define PINBALLCAT_RELATIVE_PATHS_H

#include "tools/pinballcat/registry_tree.h"

#include <string>

/* A .reg file that travels with its tables, in a folder unpacked anywhere, names them relative
   to itself. The shell reads a path as it stands, from wherever it runs, so the import makes
   such a path full. */

/* The folder of `file`, full and ending in its separator; false when it cannot be had. */
bool folderOfFile(const char *file, std::string *folder);

/* Makes `value` of the key at `subkey` below the settings key ("" for the key itself) full from
   `folder` when it is a path that the shell opens or runs and is relative to a folder. Returns
   false, and leaves the value as it was, when the full path would be too long for a path
   (MAX_PATH), which the shell could not open either. */
bool makePathFull(const std::string &subkey, const std::string &folder, RegistryValue *value);

#endif
