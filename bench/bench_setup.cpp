#include "bench/bench.h"

#include <vector>

namespace {

const char catalogueKey[] = "Software\\Corvane\\Vantrel2Demo";
const int tableCount = 12;

std::string ownDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string own(path, length < MAX_PATH ? length : 0);
    return own.substr(0, own.find_last_of('\\') + 1);
}

void put32(std::vector<BYTE> &bytes, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back((BYTE)(value >> shift));
}

void put16(std::vector<BYTE> &bytes, WORD value)
{
    bytes.push_back((BYTE)value);
    bytes.push_back((BYTE)(value >> 8));
}

/* A 24-bit picture whose pixels change from row to row, written row by row. */
bool writePicture(const std::string &path, LONG width, LONG height)
{
    DWORD rowBytes = ((DWORD)width * 3 + 3) & ~3u;
    DWORD bitsBytes = rowBytes * (DWORD)height;
    std::vector<BYTE> header;
    put16(header, 0x4D42);
    put32(header, 54 + bitsBytes);
    put32(header, 0);
    put32(header, 54);
    put32(header, 40);
    put32(header, (DWORD)width);
    put32(header, (DWORD)height);
    put16(header, 1);
    put16(header, 24);
    for (int field = 0; field < 6; ++field)
        put32(header, 0);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, header.data(), (DWORD)header.size(), &written, NULL) &&
              written == header.size();
    std::vector<BYTE> row(rowBytes);
    for (LONG y = 0; ok && y < height; ++y) {
        for (DWORD i = 0; i < rowBytes; ++i)
            row[i] = (BYTE)(i * 7 + y * 3);
        ok = WriteFile(file, row.data(), rowBytes, &written, NULL) && written == rowBytes;
    }
    CloseHandle(file);
    return ok;
}

bool setString(HKEY key, const char *name, const std::string &value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value.c_str(),
                          (DWORD)value.size() + 1) == ERROR_SUCCESS;
}

} // namespace

bool preparePlaces(BenchPlaces *places)
{
    places->benchDir = ownDirectory();
    places->runDir = places->benchDir + "run\\";
    places->shipped = places->benchDir + "..\\pinballshell.exe";
    // The size target is the release's: a 64-bit build is measured with the 32-bit file that
    // scripts/bench names here, built beside it.
    char release[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("PINBALL_RELEASE_SHELL", release, sizeof release);
    places->release = length > 0 && length < sizeof release ? release : places->shipped;
    places->shell = places->runDir + "pinballshell.exe";
    places->controllerShell = places->runDir + "pinballshell_controller.exe";
    places->floor = places->benchDir + "floor.exe";
    places->stamp = places->runDir + "stamp.exe";
    places->smallPicture = places->runDir + "small.bmp";
    places->bigPicture = places->runDir + "big.bmp";
    CreateDirectoryA(places->runDir.c_str(), NULL);
    // A logo movie beside the copy would be played first: the copy stands where there is none.
    DeleteFileA((places->runDir + "logo.avi").c_str());
    return CopyFileA(places->shipped.c_str(), places->shell.c_str(), FALSE) &&
           CopyFileA((places->benchDir + "pinballshell_controller.exe").c_str(),
                     places->controllerShell.c_str(), FALSE) &&
           CopyFileA((places->benchDir + "stamp.exe").c_str(), places->stamp.c_str(), FALSE) &&
           writePicture(places->smallPicture, 120, 120) &&
           writePicture(places->bigPicture, 4000, 3000);
}

bool writeCatalogue(const std::string &tableExe, const std::string &picture)
{
    deleteCatalogue();
    HKEY base;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, catalogueKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &base,
                        NULL) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (int i = 0; ok && i < tableCount; ++i) {
        std::string subkey = "Bench Table " + std::to_string(i + 1);
        HKEY table;
        ok = setString(base, ("Table" + std::to_string(i)).c_str(), subkey) &&
             RegCreateKeyExA(base, subkey.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &table,
                             NULL) == ERROR_SUCCESS;
        if (!ok)
            break;
        DWORD id = (DWORD)(i + 1);
        ok = setString(table, "Table Name", subkey) && setString(table, "Table Exe", tableExe) &&
             setString(table, "Table Bitmap", picture) &&
             RegSetValueExA(table, "Table Id", 0, REG_DWORD, (const BYTE *)&id, sizeof id) ==
                 ERROR_SUCCESS;
        RegCloseKey(table);
    }
    RegCloseKey(base);
    return ok;
}

void deleteCatalogue()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, catalogueKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, catalogueKey);
}

DWORD sizeWithoutResources(const std::string &exe)
{
    HANDLE file = CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD size = GetFileSize(file, NULL);
    std::vector<BYTE> bytes(size);
    DWORD read = 0;
    bool ok = ReadFile(file, bytes.data(), size, &read, NULL) && read == size;
    CloseHandle(file);
    if (!ok || size < sizeof(IMAGE_DOS_HEADER))
        return 0;
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)bytes.data();
    if ((DWORD)dos->e_lfanew + sizeof(IMAGE_NT_HEADERS32) > size)
        return 0;
    const IMAGE_NT_HEADERS32 *nt = (const IMAGE_NT_HEADERS32 *)(bytes.data() + dos->e_lfanew);
    const IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(nt);
    WORD count = nt->FileHeader.NumberOfSections;
    if ((const BYTE *)(section + count) > bytes.data() + size)
        return 0;
    for (WORD i = 0; i < count; ++i) {
        if (memcmp(section[i].Name, ".rsrc", 6) == 0)
            return size - section[i].SizeOfRawData;
    }
    return size;
}
