#include "gfx/dib_file.h"

#include <string.h>

namespace {

const DWORD fileHeaderSize = 14;
const DWORD coreHeaderSize = 12;
const DWORD infoHeaderSize = sizeof(BITMAPINFOHEADER);
const DWORD smallestInfoHeader = 16;
const DWORD masksEnd = infoHeaderSize + 3 * sizeof(DWORD);

bool seekTo(HFILE file, unsigned long long position)
{
    return position <= 0x7FFFFFFF && _llseek(file, (LONG)position, FILE_BEGIN) == (LONG)position;
}

bool readExactly(HFILE file, void *into, DWORD count)
{
    return _lread(file, into, count) == count;
}

BITMAPINFOHEADER widenCoreHeader(const BYTE *raw)
{
    BITMAPCOREHEADER core;
    memcpy(&core, raw, sizeof core);
    BITMAPINFOHEADER header = {};
    header.biSize = infoHeaderSize;
    header.biWidth = core.bcWidth;
    header.biHeight = core.bcHeight;
    header.biPlanes = core.bcPlanes;
    header.biBitCount = core.bcBitCount;
    return header;
}

/* Later and shorter header versions share the first fields of the 40-byte one. */
BITMAPINFOHEADER firstInfoFields(const BYTE *raw, DWORD headerSize)
{
    BITMAPINFOHEADER header = {};
    memcpy(&header, raw, headerSize < infoHeaderSize ? headerSize : infoHeaderSize);
    header.biSize = infoHeaderSize;
    return header;
}

/* Turns 3-byte core colour entries into RGBQUADs in place, last first so none is
   overwritten before it is moved. */
void widenCoreColours(BYTE *table, DWORD count)
{
    for (DWORD i = count; i-- > 0;) {
        BYTE blue = table[i * 3], green = table[i * 3 + 1], red = table[i * 3 + 2];
        table[i * 4] = blue;
        table[i * 4 + 1] = green;
        table[i * 4 + 2] = red;
        table[i * 4 + 3] = 0;
    }
}

HGLOBAL newLockedBlock(DWORD size, BYTE **data)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    *data = block != NULL ? (BYTE *)GlobalLock(block) : NULL;
    if (block != NULL && *data == NULL) {
        GlobalFree(block);
        return NULL;
    }
    return block;
}

void freeLockedBlock(HGLOBAL block)
{
    GlobalUnlock(block);
    GlobalFree(block);
}

} // namespace

PackedDib readDibHeader(HFILE file)
{
    PackedDib none = {};
    LONG start = _llseek(file, 0, FILE_CURRENT);
    LONG fileSize = _llseek(file, 0, FILE_END);
    if (start == HFILE_ERROR || fileSize == HFILE_ERROR || !seekTo(file, start))
        return none;

    BYTE fileHeader[fileHeaderSize];
    if (!readExactly(file, fileHeader, fileHeaderSize))
        return none;
    DWORD offBits = 0;
    unsigned long long headerStart = start;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        memcpy(&offBits, fileHeader + 10, sizeof offBits);
        headerStart += fileHeaderSize;
    } else if (!seekTo(file, start)) {
        return none;
    }

    BYTE raw[masksEnd] = {};
    if (!readExactly(file, raw, infoHeaderSize))
        return none;
    DWORD headerSize;
    memcpy(&headerSize, raw, sizeof headerSize);
    bool core = headerSize == coreHeaderSize;
    if (!core && headerSize < smallestInfoHeader)
        return none;
    BITMAPINFOHEADER header = core ? widenCoreHeader(raw) : firstInfoFields(raw, headerSize);
    // Headers from 52 bytes on carry the colour masks themselves; no masks follow them.
    bool masksInHeader = header.biCompression == BI_BITFIELDS && headerSize >= masksEnd;
    if (masksInHeader && !readExactly(file, raw + infoHeaderSize, masksEnd - infoHeaderSize))
        return none;

    DWORD count = colourCount(header);
    unsigned long long areaStart = headerStart + headerSize;
    unsigned long long areaInFile;
    if (header.biCompression == BI_BITFIELDS)
        areaInFile = masksInHeader ? 0 : masksEnd - infoHeaderSize;
    else
        areaInFile = (unsigned long long)count * (core ? 3 : sizeof(RGBQUAD));
    unsigned long long bitsStart = offBits != 0 ? start + (unsigned long long)offBits : areaStart + areaInFile;
    // A colour area running into the bits or past the end of the file is malformed.
    if (areaStart + areaInFile > bitsStart || bitsStart > (unsigned long long)fileSize)
        return none;
    unsigned long long available = fileSize - bitsStart;

    if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) {
        if (header.biSizeImage == 0 || header.biSizeImage > available)
            header.biSizeImage = (DWORD)available;
    } else {
        header.biSizeImage = uncompressedImageSize(header);
    }
    if (header.biClrUsed == 0)
        header.biClrUsed = count;
    DWORD pixelBytes = pixelAreaSize(header);
    if (pixelBytes == 0 || pixelBytes > available)
        return none;

    DWORD area = colourAreaSize(header);
    BYTE *data;
    HGLOBAL block = newLockedBlock(infoHeaderSize + area, &data);
    if (block == NULL)
        return none;
    memcpy(data, &header, infoHeaderSize);
    BYTE *colours = data + infoHeaderSize;
    bool read;
    if (masksInHeader) {
        memcpy(colours, raw + infoHeaderSize, area);
        read = true;
    } else {
        read = seekTo(file, areaStart) && readExactly(file, colours, (DWORD)areaInFile);
        if (read && core)
            widenCoreColours(colours, count);
    }
    if (!read || !seekTo(file, bitsStart)) {
        freeLockedBlock(block);
        return none;
    }
    PackedDib dib = {(BITMAPINFOHEADER *)data, infoHeaderSize + area, block, 1};
    return dib;
}

PackedDib loadDibFile(LPCSTR name)
{
    PackedDib none = {};
    if (name == NULL)
        return none;
    OFSTRUCT found;
    HFILE file = OpenFile(name, &found, OF_READ);
    if (file == HFILE_ERROR)
        return findBitmapResource(GetModuleHandleA(NULL), name);

    PackedDib dib = readDibHeader(file);
    if (dib.header == NULL) {
        _lclose(file);
        return none;
    }
    DWORD bitsOffset = dib.size;
    DWORD imageSize = dib.header->biSizeImage;
    GlobalUnlock(dib.memory);
    HGLOBAL grown = GlobalReAlloc(dib.memory, bitsOffset + imageSize, GMEM_MOVEABLE);
    BYTE *data = grown != NULL ? (BYTE *)GlobalLock(grown) : NULL;
    if (data == NULL) {
        GlobalFree(grown != NULL ? grown : dib.memory);
        _lclose(file);
        return none;
    }
    dib.memory = grown;
    dib.header = (BITMAPINFOHEADER *)data;
    dib.size = bitsOffset + imageSize;
    // The header was sized from the file's length, so anything short here is a read error.
    LONG read = _hread(file, data + bitsOffset, imageSize);
    _lclose(file);
    if (read != (LONG)imageSize)
        releasePackedDib(dib);
    return dib;
}
