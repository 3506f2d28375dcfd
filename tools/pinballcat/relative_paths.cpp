#include "tools/pinballcat/relative_paths.h"

#include <windows.h>

namespace {

/* The values that the shell opens or runs: "Shell Exe" in the settings key, "Table Exe" and
   "Table Bitmap" in a table's subkey. */
bool holdsPath(const std::string &subkey, const std::string &name)
{
    if (subkey.empty())
        return lstrcmpiA(name.c_str(), "Shell Exe") == 0;
    return subkey.find('\\') == std::string::npos &&
           (lstrcmpiA(name.c_str(), "Table Exe") == 0 || lstrcmpiA(name.c_str(), "Table Bitmap") == 0);
}

/* Not quoted (a program followed by its arguments, which the shell runs as written), not rooted
   ("\x", "\\server\share\x") and on no drive ("C:\x", "C:x"). The shell takes the whole of an
   unquoted value, blanks and all, for one path, and so does this. */
bool relativeToFolder(const std::string &path)
{
    if (path.empty() || path[0] == '"' || path[0] == '\\' || path[0] == '/')
        return false;
    return path.size() < 2 || path[1] != ':';
}

/* A picture that names a bitmap resource of the shell ("pb_oncd_bmp") is that resource. */
bool namesShellBitmap(const std::string &name, const std::string &text)
{
    return lstrcmpiA(name.c_str(), "Table Bitmap") == 0 &&
           FindResourceA(GetModuleHandleA(NULL), text.c_str(), RT_BITMAP) != NULL;
}

}

bool folderOfFile(const char *file, std::string *folder)
{
    char full[MAX_PATH];
    char *name = NULL;
    DWORD length = GetFullPathNameA(file, MAX_PATH, full, &name);
    if (length == 0 || length >= MAX_PATH || name == NULL)
        return false;
    folder->assign(full, name - full);
    return true;
}

bool makePathFull(const std::string &subkey, const std::string &folder, RegistryValue *value)
{
    if (value->type != REG_SZ || value->data.empty() || value->data.back() != 0 ||
        !holdsPath(subkey, value->name))
        return true;
    std::string text = (const char *)value->data.data();
    if (!relativeToFolder(text) || namesShellBitmap(value->name, text))
        return true;
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA((folder + text).c_str(), MAX_PATH, full, NULL);
    if (length == 0 || length >= MAX_PATH)
        return false;
    value->data.assign(full, full + length + 1);
    return true;
}
