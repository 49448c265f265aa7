#include "core/screen/screen.h"

#include <algorithm>

#include "core/skin/skin.h"
#include "core/text/little_endian.h"
#include "core/text/text16.h"

namespace {

int ClampZoom(long long zoom) { return static_cast<int>(std::clamp<long long>(zoom, kMinZoom, kMaxZoom)); }

}  // namespace

int ZoomForDpi(int dpi) { return ClampZoom((static_cast<long long>(dpi) + kBaseDpi / 2) / kBaseDpi); }

int ZoomForScreenSize(int width, int height, DragEdge edge)
{
    const long long w = width, h = height;
    switch (edge) {
    case DragEdge::Width: return ClampZoom((w + kScreenWidth / 2) / kScreenWidth);
    case DragEdge::Height: return ClampZoom((h + kScreenHeight / 2) / kScreenHeight);
    case DragEdge::Corner: break;
    }
    // The mean of both factors, rounded.
    const long long both = 2LL * kScreenWidth * kScreenHeight;
    return ClampZoom((w * kScreenHeight + h * kScreenWidth + both / 2) / both);
}

int StoredZoom(const unsigned char* bytes, size_t size)
{
    if (bytes == nullptr || size != 4) return 0;
    const uint32_t zoom = Le32(bytes);
    return zoom >= kMinZoom && zoom <= kMaxZoom ? static_cast<int>(zoom) : 0;
}

DisplayFit FitDisplayText(const char16_t* text, int width, int sizeCount, TextWidth measure, void* context,
                          char16_t (&out)[kFittedCapacity])
{
    const size_t length = U16Copy(out, kFittedCapacity, text);
    const int smallest = std::max(sizeCount, 1) - 1;
    for (int size = 0; size <= smallest; ++size)
        if (measure(context, size, out, length) <= width) return {size, length};
    // One unit more cut each time: the number is at most a few dozen units.
    out[0] = u'\u2026';
    for (size_t skip = 1; skip < length; ++skip) {
        U16Copy(out + 1, kFittedCapacity - 1, text + skip);
        if (measure(context, smallest, out, length - skip + 1) <= width) return {smallest, length - skip + 1};
    }
    out[1] = 0;
    return {smallest, 1};
}
