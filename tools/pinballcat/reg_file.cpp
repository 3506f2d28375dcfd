#include "tools/pinballcat/reg_file.h"

#include "tools/pinballcat/catalogue_view.h"
#include "tools/pinballcat/console.h"
#include "tools/pinballcat/registry_tree.h"
#include "tools/pinballcat/relative_paths.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>


namespace {

const char fileHeader[] = "REGEDIT4";
const char rootName[] = "HKEY_CURRENT_USER\\";

/* One "[key]" section of a file: the key's path below the settings key ("" for the key
   itself), its values, and the line it starts on. */
struct Section {
    std::string subkey;
    RegistryKey key;
    int line;
};

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

/* A REG_SZ can be written as a quoted text when it is one terminated line. */
bool plainText(const RegistryValue &value)
{
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0)
        return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i)
        if (value.data[i] == 0 || value.data[i] == '\r' || value.data[i] == '\n')
            return false;
    return true;
}

std::string valueText(const RegistryValue &value)
{
    char number[16];
    if (plainText(value))
        return quoted(std::string((const char *)value.data.data()));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD dword;
        memcpy(&dword, value.data.data(), 4);
        sprintf(number, "dword:%08lx", (unsigned long)dword);
        return number;
    }
    std::string text = "hex";
    if (value.type != REG_BINARY) {
        sprintf(number, "(%lx)", (unsigned long)value.type);
        text += number;
    }
    text += ":";
    for (size_t i = 0; i < value.data.size(); ++i) {
        sprintf(number, i ? ",%02x" : "%02x", value.data[i]);
        text += number;
    }
    return text;
}

void writeKey(std::string &out, const std::string &path, const RegistryKey &key)
{
    out += "[" + std::string(rootName) + path + "]\r\n";
    for (const RegistryValue &value : key.values)
        out += (value.name.empty() ? "@" : quoted(value.name)) + "=" + valueText(value) + "\r\n";
    out += "\r\n";
    for (const RegistryKey &subkey : key.subkeys)
        writeKey(out, path + "\\" + subkey.name, subkey);
}

/* --- Reading a file --- */

struct Parser {
    std::string folder; /* of the file, for the relative paths in it */
    std::vector<Section> sections;
    std::string error;
    int line;
};

bool fail(Parser *parser, const std::string &error)
{
    parser->error = "line " + std::to_string(parser->line) + ": " + error;
    return false;
}

/* The text of a quoted string starting at `at`; `at` is left after its closing quote. */
bool readQuoted(Parser *parser, const std::string &text, size_t *at, std::string *into)
{
    if (*at >= text.size() || text[*at] != '"')
        return fail(parser, "a quoted text was expected");
    for (size_t i = *at + 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            *at = i + 1;
            return true;
        }
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        *into += text[i];
    }
    return fail(parser, "a quoted text has no end");
}

bool readHexBytes(Parser *parser, const std::string &text, std::vector<BYTE> *into)
{
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '\t')
            digits += c;
    for (size_t at = 0; at < digits.size();) {
        size_t comma = digits.find(',', at);
        std::string byte = digits.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        char *end = NULL;
        unsigned long value = strtoul(byte.c_str(), &end, 16);
        if (byte.empty() || byte.size() > 2 || *end)
            return fail(parser, "not a list of hexadecimal bytes: " + text);
        into->push_back((BYTE)value);
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return true;
}

bool readData(Parser *parser, const std::string &text, RegistryValue *value)
{
    if (text == "-")
        return fail(parser, "deleting a value is not done by an import");
    if (!text.empty() && text[0] == '"') {
        std::string content;
        size_t at = 0;
        if (!readQuoted(parser, text, &at, &content))
            return false;
        if (at != text.size())
            return fail(parser, "text after a quoted value");
        value->type = REG_SZ;
        value->data.assign(content.begin(), content.end());
        value->data.push_back(0);
        return true;
    }
    if (text.compare(0, 6, "dword:") == 0) {
        char *end = NULL;
        DWORD dword = strtoul(text.c_str() + 6, &end, 16);
        if (text.size() == 6 || text.size() > 14 || *end)
            return fail(parser, "not a dword: " + text);
        value->type = REG_DWORD;
        value->data.assign((BYTE *)&dword, (BYTE *)&dword + 4);
        return true;
    }
    value->type = REG_BINARY;
    size_t colon = text.find(':');
    if (text.compare(0, 4, "hex(") == 0) {
        char *end = NULL;
        value->type = strtoul(text.c_str() + 4, &end, 16);
        if (*end != ')' || end + 1 != text.c_str() + colon)
            return fail(parser, "not a value type: " + text);
    } else if (text.compare(0, 4, "hex:") != 0) {
        return fail(parser, "not a value: " + text);
    }
    return readHexBytes(parser, text.substr(colon + 1), &value->data);
}

/* The path of a "[...]" line below the settings key; refuses any other key. */
bool readSectionName(Parser *parser, const std::string &text, std::string *subkey)
{
    if (text.back() != ']')
        return fail(parser, "a key line ends with ]");
    std::string path = text.substr(1, text.size() - 2);
    if (!path.empty() && path[0] == '-')
        return fail(parser, "deleting a key is not done by an import");
    std::string settingsKey = rootName + settingsPath("");
    if (lstrcmpiA(path.substr(0, settingsKey.size()).c_str(), settingsKey.c_str()) != 0 ||
        (path.size() > settingsKey.size() && path[settingsKey.size()] != '\\'))
        return fail(parser, "the key lies outside the shell's settings (" + settingsKey + "): " + path);
    *subkey = path.size() > settingsKey.size() ? path.substr(settingsKey.size() + 1) : "";
    return true;
}

bool readValueLine(Parser *parser, const std::string &text)
{
    if (parser->sections.empty())
        return fail(parser, "a value before any [key] line");
    RegistryValue value;
    size_t at = 1;
    if (text[0] != '@') {
        at = 0;
        if (!readQuoted(parser, text, &at, &value.name))
            return false;
    }
    if (at >= text.size() || text[at] != '=')
        return fail(parser, "a value needs \"name\"=data");
    if (!readData(parser, text.substr(at + 1), &value))
        return false;
    if (!makePathFull(parser->sections.back().subkey, parser->folder, &value))
        return fail(parser, "\"" + value.name + "\" made full from the file's folder is too long "
                            "for a path");
    parser->sections.back().key.values.push_back(value);
    return true;
}

std::string trimmed(const std::string &text)
{
    size_t first = text.find_first_not_of(" \t\r");
    size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

bool parseRegFile(const std::string &contents, Parser *parser)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < contents.size();) {
        size_t end = contents.find('\n', start);
        if (end == std::string::npos)
            end = contents.size();
        lines.push_back(trimmed(contents.substr(start, end - start)));
        start = end + 1;
    }
    parser->line = 1;
    if (lines.empty())
        return fail(parser, "the file is empty");
    if (lines[0].size() >= 2 && (BYTE)lines[0][0] == 0xFF && (BYTE)lines[0][1] == 0xFE)
        return fail(parser, "a Unicode file (regedit 5 format); export it as REGEDIT4 instead");
    if (lines[0] != fileHeader)
        return fail(parser, std::string("the file does not begin with ") + fileHeader);
    for (size_t i = 1; i < lines.size(); ++i) {
        parser->line = (int)i + 1;
        std::string text = lines[i];
        /* regedit wraps long hex data onto lines that end in a backslash. */
        while (!text.empty() && text.back() == '\\' && i + 1 < lines.size()) {
            text.pop_back();
            text += lines[++i];
        }
        if (text.empty() || text[0] == ';')
            continue;
        if (text[0] == '[') {
            Section section;
            section.line = parser->line;
            if (!readSectionName(parser, text, &section.subkey))
                return false;
            section.key.name = section.subkey;
            parser->sections.push_back(section);
        } else if (!readValueLine(parser, text)) {
            return false;
        }
    }
    return true;
}

}

int exportCommand(int count, char **words)
{
    if (count != 1)
        return refuse("export needs the name of the file to write: pinballcat export FILE.reg");
    CatalogueView view;
    readCatalogue(&view);
    std::string out = std::string(fileHeader) + "\r\n\r\n";
    out += "[" + std::string(rootName) + settingsPath("") + "]\r\n";
    for (int i = 0; i < tableCount; ++i)
        out += quoted("Table" + std::to_string(i)) + "=" + quoted(view.subkeys[i]) + "\r\n";
    out += "\r\n";
    for (int i = 0; i < tableCount; ++i) {
        RegistryKey table;
        if (readKeyTree(HKEY_CURRENT_USER, settingsPath(view.subkeys[i]), &table))
            writeKey(out, settingsPath(view.subkeys[i]), table);
    }
    FILE *file = fopen(words[0], "wb");
    bool written = file && fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file && fclose(file) != 0)
        written = false;
    if (!written)
        return refuse("cannot write %s", words[0]);
    printf("exported %d table%s to %s\n", tableCount, tableCount == 1 ? "" : "s", words[0]);
    return statusDone;
}

int importCommand(int count, char **words)
{
    if (count != 1)
        return refuse("import needs the name of the file to read: pinballcat import FILE.reg");
    FILE *file = fopen(words[0], "rb");
    if (!file)
        return refuse("cannot read %s", words[0]);
    std::string contents;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, file)) > 0;)
        contents.append(buffer, got);
    bool readWhole = !ferror(file);
    fclose(file);
    if (!readWhole)
        return refuse("cannot read %s", words[0]);
    Parser parser;
    if (!folderOfFile(words[0], &parser.folder))
        return refuse("cannot tell the folder of %s", words[0]);
    if (!parseRegFile(contents, &parser))
        return refuse("%s, %s; nothing was imported", words[0], parser.error.c_str());
    RegistryKey before;
    bool existed = readKeyTree(HKEY_CURRENT_USER, settingsPath(""), &before);
    for (const Section &section : parser.sections) {
        if (writeKeyTree(HKEY_CURRENT_USER, settingsPath(section.subkey), section.key))
            continue;
        deleteKeyTree(HKEY_CURRENT_USER, settingsPath(""));
        if (existed)
            writeKeyTree(HKEY_CURRENT_USER, settingsPath(""), before);
        return refuse("%s, line %d: the key [%s] could not be written; the settings are as they "
                      "were", words[0], section.line, settingsPath(section.subkey).c_str());
    }
    printf("imported %s\n", words[0]);
    return statusDone;
}
