#pragma once

#include "results/decodedimage.h"

#include <optional>
#include <string_view>

namespace results {

// Larger logical screens are refused before any pixel is decoded.
constexpr int kMaxGifSide = 16384;

// Decodes the first frame of a GIF held in memory, laid on its logical screen with white wherever
// the frame leaves the screen uncovered or is transparent, and shrinks it to the size the panel
// draws it at. A frame whose data ends early keeps the rows that decoded (warnings counted).
// nullopt when there is no frame, no colour table, or the screen is too large.
[[nodiscard]] std::optional<DecodedImage> DecodeGif(
    std::string_view data, int panelWidth, int panelHeight);

} // namespace results
