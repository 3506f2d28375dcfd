#include "tools/pinballcat/compat_layers.h"

#include "common/src/drive_letter.h"
#include "settings/catalogue.h"
#include "tools/pinballcat/catalogue_view.h"
#include "tools/pinballcat/console.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

const char layersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

/* Windows 8 and later begin the value with this mark and a blank; Windows 7 and later read
   values with and without it. */
const char layersMark[] = "~";

/* The characters of the marks that Windows writes in front of the layers ("~", "~ #", "^"):
   flags of its own, not layers. */
const char markCharacters[] = "~^#";

/* Of the layers in one group, the compatibility tab sets one at most. */
enum LayerGroup { groupNone, groupColours, groupScaling, groupVersion };

struct Layer {
    const char *name;
    LayerGroup group;
    /* Set for the display and Windows version of old tables, which `compat` replaces and
       `--clear` removes; the others concern any program and are the user's own choice in the
       program's Properties: `compat` adds them when named, and nothing here removes them. */
    bool managed;
};

/* The documented layers, in the order Windows writes them: privilege, settings, then the
   Windows version that the program is told. */
const Layer layers[] = {
    {"RUNASADMIN", groupNone, false},
    {"256COLOR", groupColours, true},
    {"16BITCOLOR", groupColours, true},
    {"640X480", groupNone, true},
    {"DISABLEDXMAXIMIZEDWINDOWEDMODE", groupNone, false},
    {"DWM8And16BitMitigation", groupNone, true},
    {"HIGHDPIAWARE", groupScaling, false},
    {"DPIUNAWARE", groupScaling, false},
    {"DISABLETHEMES", groupNone, true},
    {"DISABLEDWM", groupNone, true},
    {"WIN95", groupVersion, true},
    {"WIN98", groupVersion, true},
    {"WIN2000", groupVersion, true},
    {"WINXPSP2", groupVersion, true},
    {"WINXPSP3", groupVersion, true},
    {"VISTARTM", groupVersion, true},
    {"VISTASP1", groupVersion, true},
    {"VISTASP2", groupVersion, true},
    {"WIN7RTM", groupVersion, true},
};
const int layerCount = sizeof layers / sizeof layers[0];

/* A Layers value taken apart: the marks in front, then every other word as it is written. */
struct LayersValue {
    std::string marks;
    std::vector<std::string> words;
};

int findLayer(const std::string &name)
{
    for (int i = 0; i < layerCount; ++i)
        if (lstrcmpiA(layers[i].name, name.c_str()) == 0)
            return i;
    return -1;
}

bool isManaged(const std::string &word)
{
    int layer = findLayer(word);
    return layer >= 0 && layers[layer].managed;
}

/* Two layers of which Windows takes one. */
bool rivals(int layer, int other)
{
    return layer >= 0 && other >= 0 && layer != other && layers[layer].group != groupNone &&
           layers[layer].group == layers[other].group;
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

std::vector<std::string> splitWords(const std::string &text)
{
    std::vector<std::string> words;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string joinWords(const std::vector<std::string> &words)
{
    std::string text;
    for (const std::string &word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

LayersValue splitValue(const std::string &text)
{
    LayersValue value;
    for (const std::string &word : splitWords(text)) {
        if (value.words.empty() && word.find_first_not_of(markCharacters) == std::string::npos)
            value.marks += (value.marks.empty() ? "" : " ") + word;
        else
            value.words.push_back(word);
    }
    return value;
}

/* Whether `value` holds `word`, or a layer that Windows would not take beside it. */
bool holdsWordOrRival(const LayersValue &value, const std::string &word)
{
    int layer = findLayer(word);
    for (const std::string &other : value.words)
        if (lstrcmpiA(other.c_str(), word.c_str()) == 0 || rivals(layer, findLayer(other)))
            return true;
    return false;
}

std::string failureText(const char *what, const char *exePath, LONG result)
{
    return std::string("could not ") + what + " the compatibility settings of " + exePath + ": " +
           systemErrorText(result);
}

/* The program's value, whatever its length; ERROR_FILE_NOT_FOUND when it has none. */
LONG readValue(const char *exePath, std::string *text)
{
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, layersKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = 0, size = 0;
    std::string data;
    /* The value may grow between the two calls: then ask for its size again. */
    do {
        result = RegQueryValueExA(key, exePath, NULL, &type, NULL, &size);
        if (result != ERROR_SUCCESS)
            break;
        data.assign(size + 1, '\0');
        result = RegQueryValueExA(key, exePath, NULL, &type, (BYTE *)&data[0], &size);
    } while (result == ERROR_MORE_DATA);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_SZ)
        return ERROR_INVALID_DATATYPE;
    *text = data.c_str();
    return ERROR_SUCCESS;
}

/* Reads and takes apart the program's value; an absent one is empty, with `present` false. */
bool readLayersValue(const char *exePath, LayersValue *value, bool *present, std::string *failure)
{
    std::string text;
    LONG result = readValue(exePath, &text);
    *present = result == ERROR_SUCCESS;
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
        *failure = failureText("read", exePath, result);
        return false;
    }
    *value = splitValue(text);
    return true;
}

/* Writes the value, or deletes it when no word is left in it but the marks. */
bool writeLayersValue(const char *exePath, const LayersValue &value, std::string *failure)
{
    if (value.words.empty()) {
        LONG result = RegDeleteKeyValueA(HKEY_CURRENT_USER, layersKey, exePath);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            *failure = failureText("delete", exePath, result);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    std::string text = value.marks + (value.marks.empty() ? "" : " ") + joinWords(value.words);
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, layersKey, 0, NULL, 0, KEY_SET_VALUE, NULL,
                                  &key, NULL);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExA(key, exePath, 0, REG_SZ, (const BYTE *)text.c_str(),
                                (DWORD)text.size() + 1);
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS)
        *failure = failureText("write", exePath, result);
    return result == ERROR_SUCCESS;
}

/* Marks which layers the words name; the words may also hold several names apart by blanks,
   as the value does. A name given twice counts once. */
int readLayers(int count, char **words, bool chosen[])
{
    for (int i = 0; i < count; ++i)
        for (const std::string &name : splitWords(words[i])) {
            int layer = findLayer(name);
            if (layer < 0)
                return refuse("no compatibility setting is named \"%s\"; the settings are: %s",
                              name.c_str(), knownLayers().c_str());
            chosen[layer] = true;
        }
    return statusDone;
}

int checkGroups(const bool chosen[])
{
    for (int i = 0; i < layerCount; ++i)
        for (int j = i + 1; j < layerCount; ++j)
            if (chosen[i] && chosen[j] && rivals(i, j))
                return refuse("%s and %s cannot both be set: Windows takes one of them",
                              layers[i].name, layers[j].name);
    return statusDone;
}

/* The value after `compat`: the layers that pinballcat sets are replaced by the chosen ones,
   in Windows' order after the words that stay. Every other word stays where it is, but a
   rival of a chosen layer. */
LayersValue withChosen(const LayersValue &old, const bool chosen[])
{
    LayersValue value;
    value.marks = old.marks;
    bool present[layerCount] = {};
    for (const std::string &word : old.words) {
        int layer = findLayer(word);
        bool rivalChosen = false;
        for (int i = 0; i < layerCount; ++i)
            rivalChosen = rivalChosen || (chosen[i] && rivals(layer, i));
        if (isManaged(word) || rivalChosen)
            continue;
        if (layer >= 0)
            present[layer] = true;
        value.words.push_back(word);
    }
    for (int i = 0; i < layerCount; ++i)
        if (chosen[i] && !present[i])
            value.words.push_back(layers[i].name);
    return value;
}

int clearCommand(const TableEntry &table)
{
    std::string kept, failure;
    switch (clearCompatLayers(table.exePath, &kept, &failure)) {
    case compatFailed:
        return refuse("%s", failure.c_str());
    case compatUnchanged:
        if (kept.empty())
            printf("%s had no compatibility settings\n", table.name);
        else
            printf("%s had no compatibility settings that pinballcat sets; kept: %s\n", table.name,
                   kept.c_str());
        return statusDone;
    case compatChanged:
        break;
    }
    if (kept.empty())
        printf("cleared the compatibility settings of %s (%s)\n", table.name, table.exePath);
    else
        printf("cleared the compatibility settings of %s (%s); kept: %s\n", table.name,
               table.exePath, kept.c_str());
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
    bool anyChosen = false;
    for (int i = 0; i < layerCount; ++i)
        anyChosen = anyChosen || chosen[i];
    if (!anyChosen)
        return refuse("compat needs at least one setting, or --clear");
    LayersValue old;
    bool present = false;
    std::string failure;
    if (!readLayersValue(table.exePath, &old, &present, &failure))
        return refuse("%s", failure.c_str());
    if (!present)
        old.marks = layersMark;
    LayersValue value = withChosen(old, chosen);
    if (!writeLayersValue(table.exePath, value, &failure))
        return refuse("%s", failure.c_str());
    printf("%s (%s) runs with: %s\n", table.name, table.exePath, joinWords(value.words).c_str());
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

bool readCompatLayers(const char *exePath, std::string *layers, std::string *failure)
{
    LayersValue value;
    bool present = false;
    if (!readLayersValue(exePath, &value, &present, failure))
        return false;
    *layers = joinWords(value.words);
    return true;
}

CompatChange clearCompatLayers(const char *exePath, std::string *kept, std::string *failure)
{
    LayersValue value;
    bool present = false;
    if (!readLayersValue(exePath, &value, &present, failure))
        return compatFailed;
    LayersValue left;
    left.marks = value.marks;
    for (const std::string &word : value.words)
        if (!isManaged(word))
            left.words.push_back(word);
    *kept = joinWords(left.words);
    /* A value with only marks holds nothing: it goes too. */
    if (!present || (left.words.size() == value.words.size() && !left.words.empty()))
        return compatUnchanged;
    return writeLayersValue(exePath, left, failure) ? compatChanged : compatFailed;
}

CompatChange moveCompatLayers(const char *from, const char *to, bool keepFrom, std::string *moved,
                              std::string *failure)
{
    /* Value names are compared without regard to case. */
    if (lstrcmpiA(from, to) == 0)
        return compatUnchanged;
    LayersValue old, value;
    bool present = false, toPresent = false;
    if (!readLayersValue(from, &old, &present, failure) ||
        (present && !readLayersValue(to, &value, &toPresent, failure)))
        return compatFailed;
    if (!present)
        return compatUnchanged;
    if (!toPresent)
        value.marks = old.marks;
    for (const std::string &word : old.words)
        if (!holdsWordOrRival(value, word))
            value.words.push_back(word);
    if (!writeLayersValue(to, value, failure))
        return compatFailed;
    *moved = joinWords(value.words);
    if (keepFrom)
        return compatChanged;
    LayersValue none;
    return writeLayersValue(from, none, failure) ? compatChanged : compatFailed;
}

std::string compatLeftBehindText(const TableEntry &table, const char *startPath)
{
    std::string layers, failure;
    if (!readCompatLayers(table.exePath, &layers, &failure))
        return "; " + failure;
    if (layers.empty())
        return "";
    return "; its compatibility settings (" + layers + ") are for " + table.exePath +
           ", so Windows does not apply them to " + startPath + ": pinballcat drive \"" +
           table.name + "\" " + startPath[0] + " moves the table and its settings";
}
