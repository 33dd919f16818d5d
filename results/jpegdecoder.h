#pragma once

#include "results/decodedimage.h"

#include <optional>
#include <string_view>

namespace results {

// libjpeg scales in the DCT domain by numerator / 8, numerator 1..8.
constexpr int kScaleDenominator = 8;

struct ScaleChoice
{
    int numerator = kScaleDenominator;
    int width = 0; // libjpeg's output size at that scale
    int height = 0;
    PixelSize drawn; // the size the panel draws the picture at
};

// The smallest DCT scale whose output still covers the drawn size, so that the final smooth
// shrink never has to enlarge.
[[nodiscard]] ScaleChoice ChooseScale(
    int sourceWidth, int sourceHeight, int panelWidth, int panelHeight);

// Decodes a JPEG held in memory to the size the panel draws it at. nullopt when the data is not a
// decodable JPEG or its size or cost is beyond what a preview may spend; a truncated file still
// gives the rows that decoded, with warnings counted.
[[nodiscard]] std::optional<DecodedImage> DecodeJpeg(
    std::string_view data, int panelWidth, int panelHeight);

// The same decode at a DCT scale fixed by the caller (numerator 1..8), shrunk to the given size
// afterwards; a target of 0 x 0 keeps libjpeg's output size. The benchmark's reference path is
// numerator 8 with no target: a plain full decode.
[[nodiscard]] std::optional<DecodedImage> DecodeJpegAtScale(
    std::string_view data, int numerator, int targetWidth, int targetHeight);

} // namespace results
