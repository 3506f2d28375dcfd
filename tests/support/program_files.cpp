#include "tests/support/program_files.h"

#include "tests/support/process.h"

namespace {

const DWORD newHeaderAt = 0x80;

// Where a real program keeps its DOS stub: bytes that no check may take for a header.
Bytes stub(size_t size)
{
    return patternBytes(size, 0x5A);
}

}

Bytes dosHeader(DWORD newHeader)
{
    Bytes header = {'M', 'Z'};
    putBytes(header, Bytes(0x3C - 2, 0));
    put32(header, newHeader);
    return header;
}

Bytes peProgram(WORD machine, WORD characteristics)
{
    Bytes file = concat({dosHeader(newHeaderAt), stub(newHeaderAt - 0x40), {'P', 'E', 0, 0}});
    put16(file, machine);
    put16(file, 0);            // sections
    put32(file, 0x2E4A1F00);   // time stamp
    put32(file, 0);            // symbol table
    put32(file, 0);            // symbols
    put16(file, 0xE0);         // optional header size
    put16(file, characteristics);
    return concat({file, Bytes(0xE0, 0)});
}

Bytes newHeaderProgram(const char *signature)
{
    Bytes header = {(BYTE)signature[0], (BYTE)signature[1]};
    return concat({dosHeader(newHeaderAt), stub(newHeaderAt - 0x40), header, Bytes(62, 0)});
}

NamedFile::NamedFile(const std::string &name, const Bytes &contents)
    : path(testDirectory() + name)
{
    writeWholeFile(path, contents.data(), contents.size());
}

NamedFile::~NamedFile()
{
    DeleteFileA(path.c_str());
}

TestHost testHost()
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (sizeof(void *) == 4 && !wow64)
        return {"32-bit x86", true};
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    return {info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ? "64-bit ARM64" : "64-bit x64",
            false};
}
