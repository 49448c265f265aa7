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
// means no image for that layer.
//
// Sharper images may follow the fifth record (older readers ignore what
// lies there):
//   4 bytes  the tag "ZOOM"
//   4        K, 1 to 3: how many sets follow
//   K sets:  4 bytes the scale S (2, 3 or 4, each once), then five image
//            records as above, layers in the same order; each image S times
//            the width and height of the layer's image above, N = 0 exactly
//            where that layer has none.
// Bytes after the last set, or after the fifth record without the tag, are
// ignored. A set that breaks these rules leaves all sharper images out: the
// skin loads with the images above and sharpImagesFault says why.
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
constexpr int kLargestImageScale = 4;     // sharper images: 2, 3 or 4 times the size
constexpr char kSharpImagesTag[4] = {'Z', 'O', 'O', 'M'};

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
    // The file's sharper images by scale 2, 3, 4; a scale the file has none
    // of has no blocks in any layer.
    SkinImage sharpImages[kLargestImageScale - 1][kSkinLayerCount];
    // Why the file's sharper images were left out (a fixed English text), or
    // null: the program says so once as the skin loads.
    const char* sharpImagesFault;
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

// The scale of the image the program draws for `layer` at `zoom`: the
// largest scale of the file's sharper images that divides the zoom, so that
// the image is enlarged by a whole factor (at zoom 4 a 2x image twice, at
// zoom 3 only a 3x image: with 2x images alone, the 1x image three times);
// 1 for the layer's own image.
int SharpImageScale(const SkinState& skin, int layer, int zoom);

// The image drawn for `layer` at `scale` (1: the layer's own image).
const SkinImage& ImageAtScale(const SkinState& skin, int layer, int scale);

// Frees the blocks of all five images and of the sharper ones.
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
