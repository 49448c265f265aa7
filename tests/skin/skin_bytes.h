// Tiny skin files and bitmap records built byte by byte for the skin tests.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

inline void Poke32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A bitmap file as a skin record carries it. Defaults: a 4 x 2, 8-bit image
// with a full 256-entry table and exactly its pixel rows.
struct BmpShape {
    int32_t width = 4;
    int32_t height = 2;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t usedColours = 0;
    uint32_t infoSize = 40;
    uint16_t planes = 1;
    int tableEntries = -1;     // -1: as many as the header declares
    int masks = -1;            // -1: three for BI_BITFIELDS, else none
    int pixelBytes = -1;       // -1: row stride x |height|
    int64_t pixelOffset = -1;  // -1: right after the table
};

inline uint32_t TestStride(int32_t width, uint16_t bits)
{
    return static_cast<uint32_t>((static_cast<uint64_t>(width) * bits + 31) / 32 * 4);
}

// Colour-table entry i stored as blue i, green 2i, red 3i (mod 256), reserved 0x55.
inline uint8_t TableBlue(int i) { return static_cast<uint8_t>(i); }
inline uint8_t TableGreen(int i) { return static_cast<uint8_t>(2 * i); }
inline uint8_t TableRed(int i) { return static_cast<uint8_t>(3 * i); }

// Pixel byte i of the data.
inline uint8_t PixelByte(size_t i) { return static_cast<uint8_t>(i * 7 + 1); }

inline Bytes MakeBitmapFile(const BmpShape& s)
{
    int entries = s.tableEntries;
    if (entries < 0) {
        uint32_t used = s.usedColours & 0xFFFF;
        entries = used != 0 ? static_cast<int>(used)
                 : s.bitCount == 1 ? 2
                 : s.bitCount == 4 ? 16
                 : s.bitCount == 8 ? 256 : 0;
    }
    int masks = s.masks >= 0 ? s.masks : (s.compression == 3 ? 3 : 0);
    uint64_t rows = s.height < 0 ? -static_cast<int64_t>(s.height) : s.height;
    size_t pixels = s.pixelBytes >= 0 ? static_cast<size_t>(s.pixelBytes)
                                      : TestStride(s.width, s.bitCount) * rows;
    uint32_t offset = s.pixelOffset >= 0
                          ? static_cast<uint32_t>(s.pixelOffset)
                          : 14 + s.infoSize + 4 * static_cast<uint32_t>(masks + entries);
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 0);  // file size: not used
    Put32(b, 0);  // reserved
    Put32(b, offset);
    Put32(b, s.infoSize);
    Put32(b, static_cast<uint32_t>(s.width));
    Put32(b, static_cast<uint32_t>(s.height));
    Put16(b, s.planes);
    Put16(b, s.bitCount);
    Put32(b, s.compression);
    Put32(b, 0);  // image size
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, s.usedColours);
    Put32(b, 0);
    while (b.size() < 14 + s.infoSize) b.push_back(0);
    for (int i = 0; i < masks; ++i) Put32(b, 0xF800u >> (5 * i));
    for (int i = 0; i < entries; ++i) {
        b.push_back(TableBlue(i));
        b.push_back(TableGreen(i));
        b.push_back(TableRed(i));
        b.push_back(0x55);
    }
    for (size_t i = 0; i < pixels; ++i) b.push_back(PixelByte(i));
    return b;
}

// A record: the length N, then the bitmap file.
inline Bytes Record(const Bytes& bitmap)
{
    Bytes b;
    Put32(b, static_cast<uint32_t>(bitmap.size()));
    b.insert(b.end(), bitmap.begin(), bitmap.end());
    return b;
}

inline Bytes EmptyRecord()
{
    return Bytes{0, 0, 0, 0};
}

// Key map bytes 100 + i, so that they differ from the built-in map everywhere.
inline Bytes SkinHead(uint32_t backColor = 0x00112233, uint32_t textColor = 0x00445566)
{
    Bytes b;
    for (int i = 0; i < 48; ++i) b.push_back(static_cast<uint8_t>(100 + i));
    Put32(b, backColor);
    Put32(b, textColor);
    return b;
}

inline Bytes SkinFile(const std::vector<Bytes>& records)
{
    Bytes b = SkinHead();
    for (const Bytes& r : records) b.insert(b.end(), r.begin(), r.end());
    return b;
}

// Five copies of one record.
inline Bytes SkinFileOf(const Bytes& record)
{
    return SkinFile({record, record, record, record, record});
}
