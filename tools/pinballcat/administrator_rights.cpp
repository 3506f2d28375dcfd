#include "tools/pinballcat/administrator_rights.h"

#include "tools/pinballcat/compat_layers.h"

#include <windows.h>

namespace {

/* The manifest that Windows reads from a program's resources. */
const WORD programManifestId = 1;

/* The program's own manifest asks for the rights, whoever starts it. A file that is no
   Windows program has none. */
bool manifestAsksForRights(const char *path)
{
    HMODULE module =
        LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == NULL)
        return false;
    bool asks = false;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(programManifestId), RT_MANIFEST);
    HGLOBAL loaded = resource != NULL ? LoadResource(module, resource) : NULL;
    const char *text = loaded != NULL ? static_cast<const char *>(LockResource(loaded)) : NULL;
    if (text != NULL)
        asks = std::string(text, SizeofResource(module, resource)).find("requireAdministrator") !=
               std::string::npos;
    FreeLibrary(module);
    return asks;
}

/* The player's "run as administrator" in the program's compatibility settings. */
bool settingsAskForRights(const char *path)
{
    std::string layers, failure;
    if (!readCompatLayers(path, &layers, &failure))
        return false;
    std::string words = " " + layers + " ";
    CharUpperBuffA(&words[0], (DWORD)words.size());
    return words.find(" RUNASADMIN ") != std::string::npos;
}

}

std::string administratorRightsText(const char *startPath)
{
    const char *why = NULL;
    if (manifestAsksForRights(startPath))
        why = "its manifest asks for them";
    else if (settingsAskForRights(startPath))
        why = "RUNASADMIN is among its compatibility settings";
    if (why == NULL)
        return "";
    return std::string("; needs administrator rights (") + why +
           "): Windows asks the player to allow it at every start";
}
