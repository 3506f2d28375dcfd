#include "common/src/open_file.h"

HFILE openForReading(const char *path)
{
    // OpenFile keeps the path in its OFSTRUCT and refuses one that does not fit there.
    if (lstrlenA(path) >= OFS_MAXPATHNAME)
        return _lopen(path, OF_READ);
    OFSTRUCT found;
    return OpenFile(path, &found, OF_READ);
}

int fileExists(const char *path)
{
    HFILE file = openForReading(path);
    if (file == HFILE_ERROR)
        return 0;
    _lclose(file);
    return 1;
}
