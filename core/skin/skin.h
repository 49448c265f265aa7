// The calculator's skin: key map, display colours and the five layer images,
// and the reader of ".skin" files.
//
// Everything here is free of the window system. The Windows side opens the
// file, hands it in as a SkinSource, shows the message for the result and
// draws what core/skin/palette.h prepares.
//
// A skin file, all numbers little-endian:
//   0   48 bytes  key map, as SkinState::keyMap
//   48  4         back colour 0x00BBGGRR
//   52  4         text colour 0x00BBGGRR
//   56  ...       five image records, layers 0 (base), Left, Up, Right, Down
// An image record is a 4-byte length N followed by N bytes of a complete
// bitmap file (14-byte file header, information block, pixel data); N = 0
// means no image for that layer. Bytes after the fifth record are ignored.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kScreenWidth = 176;         // the phone's screen: wider images are clipped
constexpr int kSkinLayerCount = 5;        // base, Left, Up, Right, Down
constexpr int kKeyMapSize = 48;           // 4 direction layers x 12 keys
constexpr int kSkinImageHeight = 153;     // height of the built-in images
constexpr int kMinDisplayRows = 20;       // the display line's least height at zoom 1
constexpr int kMaxImageRows = 180 - kMinDisplayRows;  // of the 180-row screen; a taller image shows its bottom part
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kBitmapInfoHeaderSize = 40;

// The built-in skin's key map: keyMap[(layer - 1) * 12 + keyIndex], layers
// Left, Up, Right, Down, in the byte layout of a skin file's first 48 bytes.
extern const uint8_t defaultKeyMap[kKeyMapSize];

// One layer image of a skin file: the information block (40-byte header and
// colour table) and the pixel data, both owned (malloc'd), or both null.
// After loading, every image is bottom-up: a top-down image has had its rows
// reversed and its height made positive.
struct SkinImage {
    uint8_t* header;
    size_t headerSize;
    uint8_t* bits;
    size_t bitsSize;
};

struct SkinState {
    uint8_t keyMap[kKeyMapSize];      // keyMap[(layer - 1) * 12 + keyIndex]
    int builtinSkin;                  // 1 while the built-in skin is in use
    uint32_t backColor;               // 0x00BBGGRR; 0 with the built-in skin until first paint
    uint32_t textColor;
    SkinImage images[kSkinLayerCount];  // used only while builtinSkin is 0
};

// What the caller must tell the user after reading a skin file.
enum SkinResult : int {
    kSkinLoaded = 0,      // no message
    kSkinReadFailed,      // "Загрузка скина"
    kSkinOutOfMemory,     // "Недостаточно памяти"
};

// A file to read a skin from. `read` delivers up to `count` bytes at the
// current position into `dest` and returns how many it delivered (0 at the end
// or on an error). `size` is the total length of the file: no block larger than
// what is left of it is ever allocated. `position` is kept by the reader.
struct SkinSource {
    size_t (*read)(void* context, uint8_t* dest, size_t count);
    void* context;
    uint64_t size;
    uint64_t position;
};

// Allocator of the image blocks; malloc unless a test simulates a full memory.
// Blocks are always released with free().
extern void* (*skinAllocate)(size_t size);

// Key map of the built-in skin, builtinSkin 1, images released, colours 0.
void UseBuiltinSkin(SkinState& skin);

// Frees the blocks of all five images.
void ReleaseSkinImages(SkinState& skin);

// Reads a whole skin file: key map, colours, five images. Any failure leaves
// the built-in skin as a whole (key map, colours, no images) and names the
// message to show.
SkinResult ReadSkinFile(SkinState& skin, SkinSource& source);

// programFolder + skinName + ".skin" into `out`; false (and `out` empty) when
// skinName is no plain file name (a path, a device) or the path does not fit
// in `capacity` units with its NUL. The caller treats such a name like a file
// that is not there.
bool SkinFilePath(const char16_t* programFolder, const char16_t* skinName, char16_t* out,
                  size_t capacity);
