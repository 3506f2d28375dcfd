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
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
