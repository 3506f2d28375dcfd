#include "gfx/dib_file.h"

#include "common/src/open_file.h"
#include "gfx/dib_corner.h"

#include <string.h>

/* A bitmap file, from the position where reading starts:

     start        file header, 14 bytes, only when the file begins with "BM"; its bfOffBits
                  (at offset 10) places the bits from start, 0 meaning after the colours
     headerStart  the file's own header of headerSize bytes: 12 for a core header, else 16
                  to 124, of which the block keeps the first 40; from 52 bytes on it holds
                  the three colour masks itself
     areaStart    colour area: the three masks (BI_BITFIELDS with a shorter header), or the
                  colour table, colourCount entries of 3 bytes (core header) or 4
     bitsStart    pixel bits: start + bfOffBits, or right after the colour area

   A colour table may be cut short by the bits that follow it; the block that is read always
   holds a 40-byte header and a whole colour area, black past what the file gave. */

PictureRefusal lastPictureRefusal = pictureLoaded;

namespace {

const DWORD fileHeaderSize = 14;
const DWORD coreHeaderSize = 12;
const DWORD infoHeaderSize = sizeof(BITMAPINFOHEADER);
const DWORD smallestInfoHeader = 16;
const DWORD masksSize = 3 * sizeof(DWORD);
const DWORD masksEnd = infoHeaderSize + masksSize;

/* Where the parts of one file lie, in bytes from the beginning of the file. */
struct DibLayout {
    BITMAPINFOHEADER header;
    bool core;
    bool masksInHeader;
    BYTE masks[masksSize];
    unsigned long long headerStart, areaStart, areaInFile, bitsStart;
    DWORD offBits;
};

bool seekTo(HFILE file, unsigned long long position)
{
    return position <= 0x7FFFFFFF && _llseek(file, (LONG)position, FILE_BEGIN) == (LONG)position;
}

bool readExactly(HFILE file, void *into, DWORD count)
{
    return _lread(file, into, count) == count;
}

bool refuse(PictureRefusal why)
{
    lastPictureRefusal = why;
    return false;
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

/* Leaves the file at the info header. */
bool readFileHeader(HFILE file, LONG start, DibLayout &layout)
{
    BYTE fileHeader[fileHeaderSize];
    if (!readExactly(file, fileHeader, fileHeaderSize))
        return refuse(pictureHeaderCut);
    layout.offBits = 0;
    layout.headerStart = start;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        memcpy(&layout.offBits, fileHeader + 10, sizeof layout.offBits);
        layout.headerStart += fileHeaderSize;
        return true;
    }
    return seekTo(file, start) || refuse(pictureReadFailed);
}

/* Forty bytes are read even for a core header, as a file too short for them is refused. */
bool readInfoHeader(HFILE file, DibLayout &layout)
{
    BYTE raw[infoHeaderSize];
    if (!readExactly(file, raw, infoHeaderSize))
        return refuse(pictureHeaderCut);
    DWORD headerSize;
    memcpy(&headerSize, raw, sizeof headerSize);
    layout.core = headerSize == coreHeaderSize;
    if (!layout.core && headerSize < smallestInfoHeader)
        return refuse(pictureHeaderUnknown);
    layout.header = layout.core ? widenCoreHeader(raw) : firstInfoFields(raw, headerSize);
    layout.masksInHeader = layout.header.biCompression == BI_BITFIELDS && headerSize >= masksEnd;
    if (layout.masksInHeader && !readExactly(file, layout.masks, masksSize))
        return refuse(pictureHeaderCut);
    layout.areaStart = layout.headerStart + headerSize;
    return true;
}

unsigned long long colourEntrySize(const DibLayout &layout)
{
    return layout.core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
}

/* The colour area must lie inside the file; a colour table that the bits cut short is
   taken up to them. */
bool placeBits(DibLayout &layout, LONG start, unsigned long long fileSize)
{
    bool masks = layout.header.biCompression == BI_BITFIELDS;
    if (masks)
        layout.areaInFile = layout.masksInHeader ? 0 : masksSize;
    else
        layout.areaInFile = colourCount(layout.header) * colourEntrySize(layout);
    unsigned long long areaEnd = layout.areaStart + layout.areaInFile;
    layout.bitsStart = layout.offBits != 0 ? (unsigned long long)start + layout.offBits : areaEnd;
    if (areaEnd > fileSize)
        return refuse(pictureColoursOutside);
    if (layout.bitsStart < layout.areaStart || layout.bitsStart > fileSize)
        return refuse(pictureBitsOutside);
    if (areaEnd <= layout.bitsStart)
        return true;
    if (masks)
        return refuse(pictureColoursOutside);
    unsigned long long entrySize = colourEntrySize(layout);
    layout.areaInFile = (layout.bitsStart - layout.areaStart) / entrySize * entrySize;
    return true;
}

/* Fills in biSizeImage and biClrUsed; false when the pixels cannot be converted safely
   from what the file holds. */
bool sizePixelArea(BITMAPINFOHEADER &header, unsigned long long available)
{
    if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) {
        if (header.biSizeImage == 0 || header.biSizeImage > available)
            header.biSizeImage = (DWORD)available;
    } else {
        header.biSizeImage = uncompressedImageSize(header);
    }
    if (header.biClrUsed == 0)
        header.biClrUsed = colourCount(header);
    DWORD pixelBytes = pixelAreaSize(header);
    if (pixelBytes == 0)
        return refuse(pictureFormatRefused);
    return pixelBytes <= available || refuse(picturePixelsCut);
}

/* Reads the headers and finds every part; the file then stands anywhere. */
bool readLayout(HFILE file, DibLayout &layout)
{
    LONG start = _llseek(file, 0, FILE_CURRENT);
    LONG fileSize = _llseek(file, 0, FILE_END);
    if (start == HFILE_ERROR || fileSize == HFILE_ERROR || !seekTo(file, start))
        return refuse(pictureReadFailed);
    return readFileHeader(file, start, layout) && readInfoHeader(file, layout) &&
           placeBits(layout, start, fileSize) && sizePixelArea(layout.header, fileSize - layout.bitsStart);
}

bool readColourArea(HFILE file, const DibLayout &layout, BYTE *area, DWORD areaSize)
{
    memset(area, 0, areaSize);
    if (layout.masksInHeader) {
        memcpy(area, layout.masks, masksSize);
        return true;
    }
    if (!seekTo(file, layout.areaStart) || !readExactly(file, area, (DWORD)layout.areaInFile))
        return false;
    if (layout.core)
        widenCoreColours(area, (DWORD)(layout.areaInFile / sizeof(RGBTRIPLE)));
    return true;
}

/* Grows the block by the pixel bits and reads them from the file's position in one go. */
bool appendPixelArea(HFILE file, PackedDib &dib)
{
    DWORD bitsOffset = dib.size;
    DWORD imageSize = dib.header->biSizeImage;
    GlobalUnlock(dib.memory);
    HGLOBAL grown = GlobalReAlloc(dib.memory, bitsOffset + imageSize, GMEM_MOVEABLE);
    BYTE *data = grown != NULL ? (BYTE *)GlobalLock(grown) : NULL;
    if (data == NULL) {
        GlobalFree(grown != NULL ? grown : dib.memory);
        dib = PackedDib();
        return refuse(pictureNoMemory);
    }
    dib.memory = grown;
    dib.header = (BITMAPINFOHEADER *)data;
    dib.size = bitsOffset + imageSize;
    // The header was sized from the file's length, so anything short here is a read error.
    return _hread(file, data + bitsOffset, imageSize) == (LONG)imageSize || refuse(pictureReadFailed);
}

/* Where the top rows of run-length data begin is only known once every row below them
   is decoded, so the data is read whole; the file's length bounds it. */
PackedDib decodeCorner(HFILE file, PackedDib &picture, LONG width, LONG height)
{
    PackedDib none = {};
    if (!appendPixelArea(file, picture))
        return none;
    PackedDib corner = rleCorner(picture, width, height);
    if (corner.header == NULL)
        refuse(pictureRunLengthBroken);
    return corner;
}

/* Rows that the corner keeps whole lie in the file as in the corner: one read takes them all.
   Only the padding at the end of each is not the file's. */
bool readWholeRows(HFILE file, BYTE *bits, const DibCorner &corner, DWORD rows)
{
    if (!readExactly(file, bits, (rows - 1) * corner.stride + corner.rowBytes))
        return false;
    for (DWORD row = 0; row < rows; row++)
        memset(bits + row * corner.stride + corner.rowBytes, 0, corner.stride - corner.rowBytes);
    return true;
}

/* Of rows wider than the corner only the kept part is read, row by row: a read of whole rows
   would take far more than is kept. */
bool readRowParts(HFILE file, unsigned long long from, BYTE *bits, const DibCorner &corner,
                  DWORD rows)
{
    for (DWORD row = 0; row < rows; row++) {
        if (!seekTo(file, from + (unsigned long long)row * corner.pictureStride) ||
            !readExactly(file, bits + row * corner.stride, corner.rowBytes))
            return false;
    }
    return true;
}

/* Reads the part of each row that the corner keeps. */
PackedDib readCornerRows(HFILE file, const PackedDib &picture, LONG width, LONG height)
{
    PackedDib none = {};
    LONG bitsStart = _llseek(file, 0, FILE_CURRENT);
    if (bitsStart == HFILE_ERROR) {
        refuse(pictureReadFailed);
        return none;
    }
    DibCorner corner = uncompressedCorner(*picture.header, width, height);
    PackedDib dib = newPackedDib(picture.size + corner.header.biSizeImage);
    if (dib.header == NULL) {
        refuse(pictureNoMemory);
        return none;
    }
    memcpy(dib.header, picture.header, picture.size);
    *dib.header = corner.header;
    BYTE *bits = (BYTE *)dib.header + picture.size;
    memset(bits, 0, corner.header.biSizeImage);
    DWORD rows = (DWORD)(corner.header.biHeight < 0 ? -corner.header.biHeight : corner.header.biHeight);
    unsigned long long from = bitsStart + (unsigned long long)corner.firstRow * corner.pictureStride;
    bool read = corner.pictureStride == corner.stride
                    ? seekTo(file, from) && readWholeRows(file, bits, corner, rows)
                    : readRowParts(file, from, bits, corner, rows);
    if (!read) {
        releasePackedDib(dib);
        refuse(pictureReadFailed);
        return none;
    }
    return dib;
}

} // namespace

PackedDib readDibHeader(HFILE file)
{
    PackedDib none = {};
    DibLayout layout;
    if (!readLayout(file, layout))
        return none;
    DWORD area = colourAreaSize(layout.header);
    PackedDib dib = newPackedDib(infoHeaderSize + area);
    if (dib.header == NULL) {
        refuse(pictureNoMemory);
        return none;
    }
    memcpy(dib.header, &layout.header, infoHeaderSize);
    if (!readColourArea(file, layout, (BYTE *)dib.header + infoHeaderSize, area) || !seekTo(file, layout.bitsStart)) {
        releasePackedDib(dib);
        refuse(pictureReadFailed);
        return none;
    }
    return dib;
}

PackedDib loadDibFile(LPCSTR name, LONG width, LONG height)
{
    PackedDib none = {};
    lastPictureRefusal = pictureMissing;
    if (name == NULL)
        return none;
    HFILE file = openForReading(name);
    if (file == HFILE_ERROR) {
        PackedDib resource = findBitmapResource(GetModuleHandleA(NULL), name);
        if (resource.header != NULL)
            lastPictureRefusal = pictureLoaded;
        return resource;
    }
    lastPictureRefusal = pictureLoaded;

    PackedDib picture = readDibHeader(file);
    PackedDib corner = none;
    if (picture.header != NULL) {
        DWORD compression = picture.header->biCompression;
        bool runLength = compression == BI_RLE8 || compression == BI_RLE4;
        corner = runLength ? decodeCorner(file, picture, width, height) : readCornerRows(file, picture, width, height);
        releasePackedDib(picture);
    }
    _lclose(file);
    return corner;
}
