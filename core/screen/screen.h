// The phone's screen on a desktop, free of the window system: the whole
// factors it is zoomed by, and how the display line's number fits its width.
#pragma once

#include <cstddef>

#include "core/engine/engine.h"

enum : int {
    kScreenHeight = 180,  // the screen above the soft-key bar, at zoom 1
    kMinZoom = 1,
    kMaxZoom = 4,
    kBaseDpi = 96,        // the dots per inch of zoom 1
};

// The zoom a monitor of `dpi` dots per inch starts with: the nearest whole
// factor of 96 (96 gives 1, 192 gives 2), from 1 to 4.
int ZoomForDpi(int dpi);

// The zoom nearest to a screen (client area) of width x height being
// dragged to that size: by its width, its height, or both at a corner.
enum class DragEdge { Width, Height, Corner };
int ZoomForScreenSize(int width, int height, DragEdge edge);

// A stored zoom (the registry value's 4 bytes, little-endian), or 0 when
// there is none that can be used.
int StoredZoom(const unsigned char* bytes, size_t size);

// How the display's number fits `width`: measured at font sizes 0 (the
// chosen one) to sizeCount - 1 (the smallest readable), the first size at
// which it fits whole; where none does, the smallest, with the number's
// leftmost units replaced by an ellipsis so that its last digits and the
// exponent's sign stay. `out` gets the text to draw, ended by a NUL.
enum : int { kFittedCapacity = kGroupedCapacity + 1 };
using TextWidth = int (*)(void* context, int size, const char16_t* text, size_t length);
struct DisplayFit {
    int size;
    size_t length;  // of `out`
};
DisplayFit FitDisplayText(const char16_t* text, int width, int sizeCount, TextWidth measure, void* context,
                          char16_t (&out)[kFittedCapacity]);
