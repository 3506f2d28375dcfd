#include "common/src/drive_letter.h"

char driveLetter(char c)
{
    char letter = c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
    return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

char pathDriveLetter(const char *path)
{
    return path[0] && path[1] == ':' ? driveLetter(path[0]) : 0;
}
