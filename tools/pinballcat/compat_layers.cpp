#include "tools/pinballcat/compat_layers.h"

#include "common/src/drive_letter.h"
#include "settings/catalogue.h"
#include "tools/pinballcat/catalogue_view.h"
#include "tools/pinballcat/console.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {

const char layersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

/* Windows 8 and later begin the value with this mark and a blank; Windows 7 and later read
   values with and without it. */
const char layersMark[] = "~";

/* Of the layers in one group, the compatibility tab sets one at most. */
enum LayerGroup { groupNone, groupColours, groupScaling, groupVersion };

struct Layer {
    const char *name;
    LayerGroup group;
};

/* The documented layers, in the order Windows writes them: privilege, settings, then the
   Windows version that the program is told. */
const Layer layers[] = {
    {"RUNASADMIN", groupNone},
    {"256COLOR", groupColours},
    {"16BITCOLOR", groupColours},
    {"640X480", groupNone},
    {"DISABLEDXMAXIMIZEDWINDOWEDMODE", groupNone},
    {"DWM8And16BitMitigation", groupNone},
    {"HIGHDPIAWARE", groupScaling},
    {"DPIUNAWARE", groupScaling},
    {"DISABLETHEMES", groupNone},
    {"DISABLEDWM", groupNone},
    {"WIN95", groupVersion},
    {"WIN98", groupVersion},
    {"WIN2000", groupVersion},
    {"WINXPSP2", groupVersion},
    {"WINXPSP3", groupVersion},
    {"VISTARTM", groupVersion},
    {"VISTASP1", groupVersion},
    {"VISTASP2", groupVersion},
    {"WIN7RTM", groupVersion},
};
const int layerCount = sizeof layers / sizeof layers[0];

int findLayer(const std::string &name)
{
    for (int i = 0; i < layerCount; ++i)
        if (lstrcmpiA(layers[i].name, name.c_str()) == 0)
            return i;
    return -1;
}

std::string knownLayers()
{
    std::string names;
    for (const Layer &layer : layers)
        names += std::string(names.empty() ? "" : " ") + layer.name;
    return names;
}

/* Windows finds the settings by the full path of the program it starts. */
bool isFullPath(const char *path)
{
    bool drive = pathDriveLetter(path) && path[2] == '\\';
    return drive || (path[0] == '\\' && path[1] == '\\');
}

/* Marks which layers the words name; the words may also hold several names apart by blanks,
   as the value does. A name given twice counts once. */
int readLayers(int count, char **words, bool chosen[])
{
    for (int i = 0; i < count; ++i) {
        std::string word = words[i];
        for (size_t start = 0; start < word.size();) {
            size_t end = word.find(' ', start);
            if (end == std::string::npos)
                end = word.size();
            std::string name = word.substr(start, end - start);
            start = end + 1;
            if (name.empty())
                continue;
            int layer = findLayer(name);
            if (layer < 0)
                return refuse("no compatibility setting is named \"%s\"; the settings are: %s",
                              name.c_str(), knownLayers().c_str());
            chosen[layer] = true;
        }
    }
    return statusDone;
}

int checkGroups(const bool chosen[])
{
    for (int i = 0; i < layerCount; ++i)
        for (int j = i + 1; j < layerCount; ++j)
            if (chosen[i] && chosen[j] && layers[i].group != groupNone &&
                layers[i].group == layers[j].group)
                return refuse("%s and %s cannot both be set: Windows takes one of them",
                              layers[i].name, layers[j].name);
    return statusDone;
}

std::string layersValue(const bool chosen[])
{
    std::string value = layersMark;
    for (int i = 0; i < layerCount; ++i)
        if (chosen[i])
            value += std::string(" ") + layers[i].name;
    return value;
}

bool writeLayersValue(const char *exePath, const std::string &value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, layersKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, exePath, 0, REG_SZ, (const BYTE *)value.c_str(),
                                 (DWORD)value.size() + 1);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int clearCommand(const TableEntry &table)
{
    if (clearCompatLayers(table.exePath))
        printf("cleared the compatibility settings of %s (%s)\n", table.name, table.exePath);
    else
        printf("%s had no compatibility settings\n", table.name);
    return statusDone;
}

int setCommand(const TableEntry &table, int count, char **words)
{
    bool chosen[layerCount] = {};
    int status = readLayers(count, words, chosen);
    if (status == statusDone)
        status = checkGroups(chosen);
    if (status != statusDone)
        return status;
    std::string value = layersValue(chosen);
    if (value == layersMark)
        return refuse("compat needs at least one setting, or --clear");
    if (!writeLayersValue(table.exePath, value))
        return refuse("the compatibility settings could not be written");
    printf("%s (%s) runs with: %s\n", table.name, table.exePath, value.substr(strlen(layersMark) + 1).c_str());
    return statusDone;
}

}

int compatCommand(int count, char **words)
{
    if (count < 2)
        return refuse("compat needs a table's name and its settings: pinballcat compat NAME "
                      "SETTING... or pinballcat compat NAME --clear");
    CatalogueView view;
    int table = namedTable(words[0], &view);
    if (table < 0)
        return statusRefused;
    const TableEntry &entry = tableEntries[table];
    if (!isFullPath(entry.exePath))
        return refuse("the executable of %s is no full path (%s): Windows finds compatibility "
                      "settings by the full path", entry.name, entry.exePath);
    if (strcmp(words[1], "--clear") == 0)
        return count == 2 ? clearCommand(entry) : refuse("--clear takes no settings");
    return setCommand(entry, count - 1, words + 1);
}

std::string compatLayersOf(const char *exePath)
{
    char data[1024];
    DWORD size = sizeof data - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, layersKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "";
    LONG result = RegQueryValueExA(key, exePath, NULL, &type, (BYTE *)data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return "";
    data[size] = '\0';
    std::string value = data;
    /* The marks in front ("~", "^", "~^") are flags of Windows' own, not layers. */
    size_t marks = value.find_first_not_of("~^");
    if (marks == std::string::npos)
        return "";
    if (marks > 0 && value[marks] == ' ')
        value = value.substr(marks);
    size_t first = value.find_first_not_of(' ');
    return first == std::string::npos ? "" : value.substr(first);
}

bool clearCompatLayers(const char *exePath)
{
    return RegDeleteKeyValueA(HKEY_CURRENT_USER, layersKey, exePath) == ERROR_SUCCESS;
}
