// What vela-skin adds to the skin files in memory (skin_pack.h), which
// decide everything about them: PNG files read and written, and the
// preview's sample number drawn in a small pixel font. The command line and
// the files are vela_skin.cpp's; the tests and the fuzz target call these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin/skin_pack.h"

// Builds a skin file as PackSkinBitmaps does, but that an image whose file
// name ends in .png (any case) is converted first (BitmapFromPng, transparent
// pixels blended onto the back colour); any other is a bitmap file, stored
// as it is unless BitmapNeedsConverting. Images larger than 2048 x 2048
// pixels are refused.
bool PackSkin(const KeyMapText& keys, const PackImage (&images)[kSkinLayerCount], std::string& skin,
              std::string& error, const std::vector<PackSharpSet>& sharp = {});

// Bitmap files editors write that the program cannot draw as they are:
// run-length encoded (8 or 4 bits) and 16- or 32-bit ones. PackSkin converts
// them as it does PNG files (BitmapFromEditorBmp); others are stored as
// they are.
bool BitmapNeedsConverting(const std::string& bmp);
bool BitmapFromEditorBmp(const std::string& bmp, uint32_t backColor, std::string& converted, std::string& error);

// A PNG file as a bitmap file (BitmapFromRgba). Alpha blends onto
// `backColor` (0x00BBGGRR). False with why.
bool BitmapFromPng(const std::string& png, uint32_t backColor, std::string& bmp, std::string& error);

// The preview's screens (RenderPreviewScreens) with "1234.5" on each display
// line in the text colour, right-aligned one pixel from the screen's edge and
// centred in height. The number is drawn in the tool's own small pixel font,
// not the program's: its pixels tell the text colour and the alignment, not
// the program's glyphs.
bool RenderPreview(const std::string& skin, PreviewImage& preview, SkinRefusal& refusal);
// The preview as a PNG file.
std::string PreviewPng(const PreviewImage& preview);
