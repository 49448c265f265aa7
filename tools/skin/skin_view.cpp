// The preview as the tool shows it: the core's screens with the sample number
// drawn in stb_easy_font's pixel font, written as a PNG file.
#include <algorithm>
#include <cstring>

#include "stb_easy_font.h"
#include "stb_image_write.h"

#include "tools/skin/skin_tool.h"

namespace {

constexpr char kSampleNumber[] = "1234.5";

// The sample number in the text colour, right-aligned one pixel from the
// screen's right edge and centred in the display line's `rows`.
void DrawSampleNumber(PreviewImage& preview, int left, int rows, uint32_t rgb)
{
    const int zoom = preview.zoom;
    static char vertices[16 * 4 * 200];  // 16 bytes a vertex, 4 a quad
    char text[sizeof kSampleNumber];
    std::memcpy(text, kSampleNumber, sizeof text);
    const int quads = stb_easy_font_print(0, 0, text, nullptr, vertices, sizeof vertices);
    float top = 1e9f, bottom = -1e9f, right = -1e9f;
    for (int v = 0; v < 4 * quads; ++v) {
        float xy[2];
        std::memcpy(xy, vertices + 16 * v, sizeof xy);
        top = std::min(top, xy[1]);
        bottom = std::max(bottom, xy[1]);
        right = std::max(right, xy[0]);
    }
    // At a zoom each pixel of the font is a square of zoom x zoom.
    const int dx = left + (kScreenWidth - 1 - static_cast<int>(right)) * zoom;
    const int dy = (rows - static_cast<int>(bottom - top) * zoom) / 2 - static_cast<int>(top) * zoom;
    for (int q = 0; q < quads; ++q) {
        float corner[4][2];
        for (int v = 0; v < 4; ++v) std::memcpy(corner[v], vertices + 16 * (4 * q + v), sizeof corner[v]);
        const int x0 = static_cast<int>(std::min(corner[0][0], corner[2][0])) * zoom + dx;
        const int x1 = static_cast<int>(std::max(corner[0][0], corner[2][0])) * zoom + dx;
        const int y0 = static_cast<int>(std::min(corner[0][1], corner[2][1])) * zoom + dy;
        const int y1 = static_cast<int>(std::max(corner[0][1], corner[2][1])) * zoom + dy;
        for (int y = std::max(y0, 0); y < std::min(y1, rows); ++y)
            for (int x = x0; x < x1; ++x) PutPreviewPixel(preview, x, y, rgb);
    }
}

}  // namespace

bool RenderPreview(const std::string& skin, PreviewImage& preview, SkinRefusal& refusal)
{
    if (!RenderPreviewScreens(skin, preview, refusal)) return false;
    // The number stays inside its own screen's display line, which no other
    // screen draws over: drawing it after all the screens changes no pixel.
    for (int layer = 0; layer < kSkinLayerCount; ++layer)
        DrawSampleNumber(preview, layer * kScreenWidth * preview.zoom, preview.displayRows[layer], preview.textRgb);
    return true;
}

std::string PreviewPng(const PreviewImage& preview)
{
    std::string png;
    const int width = PreviewWidth(preview), height = PreviewHeight(preview);
    if (preview.rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) return png;  // not rendered
    auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
    };
    stbi_write_png_to_func(append, &png, width, height, 3, preview.rgb.data(), width * 3);
    return png;
}
