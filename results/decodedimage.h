#pragma once

#include "results/centredplacement.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace results {

// A decoded picture, already at the size the preview panel draws it. Pixels are RGB888, rows
// `stride` bytes apart; the stride is a multiple of 4 so the rows can be wrapped without a copy by
// image classes that want aligned scan lines.
struct DecodedImage
{
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
    int warnings = 0; // recoverable problems met while decoding (a truncated file warns)
    int sourceWidth = 0; // the picture's own size before scaling
    int sourceHeight = 0;
};

constexpr int RgbStride(int width) { return (width * 3 + 3) & ~3; }

// A white canvas of the given size for a picture whose own size is sourceWidth x sourceHeight.
// White shows wherever the picture delivers no pixels: below the last row of a truncated file,
// around a GIF frame smaller than its screen.
inline DecodedImage WhiteImage(int width, int height, int sourceWidth, int sourceHeight)
{
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.stride = RgbStride(width);
    image.pixels.assign(static_cast<std::size_t>(image.stride) * height, 0xFF);
    image.sourceWidth = sourceWidth;
    image.sourceHeight = sourceHeight;
    return image;
}

struct PixelSize
{
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The size at which the panel draws a picture of the given size. A sliver such as 10000 x 1 would
// truncate to zero rows; it is kept at one so that a decoded picture is never empty.
constexpr PixelSize DrawnSize(int panelWidth, int panelHeight, int width, int height)
{
    const PlacedRect r = CentredPlacement(panelWidth, panelHeight, width, height);
    return { std::max(r.width, 1), std::max(r.height, 1) };
}

} // namespace results
