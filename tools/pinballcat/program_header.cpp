#include "tools/pinballcat/program_header.h"

#include <stdio.h>
#include <string.h>

namespace {

enum ProgramKind {
    kindWindows,    /* a PE program, for the processor in `machine` */
    kindWindows16,  /* NE: 16-bit Windows */
    kindDos,        /* MZ alone, or with a DOS extender's LE/LX */
    kindLibrary,    /* a PE DLL */
    kindBatch,      /* started by the command interpreter */
    kindNoProgram,
    kindUnread,
};

struct ProgramHeader {
    ProgramKind kind;
    WORD machine;
};

const WORD machineI386 = 0x014C;
const WORD machineAmd64 = 0x8664;
const WORD machineArm64 = 0xAA64;
const WORD machineArmThumb2 = 0x01C4;
const DWORD newHeaderOffsetAt = 0x3C;
/* The PE signature, the Machine field and, 18 bytes on, Characteristics. */
const DWORD peHeaderSize = 24;
const WORD imageFileDll = 0x2000;

struct MachineName {
    WORD machine;
    const char *name;
};

const MachineName machineNames[] = {
    {machineI386, "x86 (32-bit)"},   {machineAmd64, "x64"},        {machineArm64, "ARM64"},
    {0x01C0, "ARM"},                 {0x01C2, "ARM Thumb"},        {machineArmThumb2, "ARM (Thumb-2)"},
    {0x0184, "Alpha"},               {0x0284, "Alpha 64"},         {0x0162, "MIPS R3000"},
    {0x0166, "MIPS R4000"},          {0x0168, "MIPS R10000"},      {0x0169, "MIPS (WCE v2)"},
    {0x0266, "MIPS16"},              {0x0366, "MIPS with FPU"},    {0x0200, "Itanium (IA-64)"},
    {0x01F0, "PowerPC"},             {0x01F1, "PowerPC with FPU"}, {0x01A2, "Hitachi SH3"},
    {0x01A6, "Hitachi SH4"},
};

/* Which PE processors each Windows starts; a 32-bit x86 Windows also starts 16-bit and DOS
   programs through its NTVDM. */
struct HostMachines {
    WORD architecture;
    const char *name;
    WORD runs[4];
};

const HostMachines hosts[] = {
    {PROCESSOR_ARCHITECTURE_INTEL, "32-bit x86", {machineI386}},
    {PROCESSOR_ARCHITECTURE_AMD64, "64-bit x64", {machineI386, machineAmd64}},
    {PROCESSOR_ARCHITECTURE_ARM64, "64-bit ARM64", {machineI386, machineAmd64, machineArm64, machineArmThumb2}},
};

std::string machineName(WORD machine)
{
    for (const MachineName &known : machineNames)
        if (known.machine == machine)
            return known.name;
    char text[32];
    sprintf(text, "0x%04X", machine);
    return text;
}

bool readAt(HANDLE file, DWORD offset, void *data, DWORD size)
{
    DWORD read = 0;
    return SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN) == offset &&
           ReadFile(file, data, size, &read, NULL) && read == size;
}

bool hasExtension(const char *path, const char *extension)
{
    size_t length = strlen(path), wanted = strlen(extension);
    return length > wanted && lstrcmpiA(path + length - wanted, extension) == 0;
}

/* A .com program has no header; a batch file is started by the command interpreter. */
ProgramHeader headerless(const char *path)
{
    if (hasExtension(path, ".com"))
        return {kindDos, 0};
    if (hasExtension(path, ".bat") || hasExtension(path, ".cmd"))
        return {kindBatch, 0};
    return {kindNoProgram, 0};
}

/* Old DOS programs hold anything at the new header's offset, so only a known signature
   found there makes the file more than a DOS program. */
ProgramHeader readHeader(const char *path, HANDLE file)
{
    char mz[2];
    if (!readAt(file, 0, mz, sizeof mz) || memcmp(mz, "MZ", 2) != 0)
        return headerless(path);
    DWORD newHeader = 0;
    BYTE pe[peHeaderSize];
    if (!readAt(file, newHeaderOffsetAt, &newHeader, sizeof newHeader) || newHeader == 0)
        return {kindDos, 0};
    if (readAt(file, newHeader, pe, sizeof pe) && memcmp(pe, "PE\0\0", 4) == 0) {
        WORD machine = (WORD)(pe[4] | pe[5] << 8);
        WORD characteristics = (WORD)(pe[22] | pe[23] << 8);
        return {characteristics & imageFileDll ? kindLibrary : kindWindows, machine};
    }
    char signature[2];
    if (!readAt(file, newHeader, signature, sizeof signature))
        return {kindDos, 0};
    if (memcmp(signature, "NE", 2) == 0)
        return {kindWindows16, 0};
    return {kindDos, 0};
}

ProgramHeader classify(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return {kindUnread, 0};
    ProgramHeader header = readHeader(path, file);
    CloseHandle(file);
    return header;
}

const HostMachines *findHost(WORD architecture)
{
    for (const HostMachines &host : hosts)
        if (host.architecture == architecture)
            return &host;
    return NULL;
}

bool hostRunsMachine(const HostMachines &host, WORD machine)
{
    for (WORD runs : host.runs)
        if (runs == machine)
            return true;
    return false;
}

bool judgeWindowsProgram(const HostMachines &host, WORD machine, std::string *why)
{
    if (hostRunsMachine(host, machine))
        return true;
    if (machine == machineAmd64 || machine == machineArm64)
        *why = "is a 64-bit program for " + machineName(machine) + ", which this " + host.name +
               " Windows cannot start; it needs a 64-bit Windows on that processor";
    else
        *why = "is a program for the " + machineName(machine) + " processor, which this " +
               host.name + " Windows cannot start; it needs a Windows built for that processor";
    return false;
}

}

WORD hostArchitecture()
{
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture;
}

bool programRuns(const char *path, WORD architecture, std::string *why)
{
    ProgramHeader header = classify(path);
    const HostMachines *host = findHost(architecture);
    bool runs16Bit = architecture == PROCESSOR_ARCHITECTURE_INTEL;
    switch (header.kind) {
    case kindUnread:
    case kindBatch:
        return true;
    case kindNoProgram:
        *why = "is no program: it has no program header";
        return false;
    case kindLibrary:
        *why = "is a DLL, not a program: the table needs the program (.exe) that loads it";
        return false;
    case kindWindows16:
        if (!runs16Bit)
            *why = "is a 16-bit Windows program, which 64-bit Windows cannot start; play it on a "
                   "32-bit Windows, in a virtual machine if need be";
        return runs16Bit;
    case kindDos:
        if (!runs16Bit)
            *why = "is a DOS program, which 64-bit Windows cannot start; play it in a DOS "
                   "emulator, or on a 32-bit Windows in a virtual machine";
        return runs16Bit;
    case kindWindows:
        break;
    }
    return !host || judgeWindowsProgram(*host, header.machine, why);
}
