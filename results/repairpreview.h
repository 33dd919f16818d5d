#pragma once

#include "results/decodedimage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace results {

// The damage inverts this many bytes from the start of a file, each with the mask.
constexpr std::size_t kInvertedRun = 100;
constexpr unsigned char kInversionMask = 0xFF;
// A smaller file is not restored.
constexpr std::size_t kMinimumPreviewSize = 200;
// A larger file is not read whole: a row that arrived in the report box may name any file.
constexpr std::size_t kMaxPreviewFileSize = 64u << 20;

// A copy of the file with its first 100 bytes (fewer in a shorter buffer) inverted back.
[[nodiscard]] std::string RestoredCopy(std::string_view fileBytes);

enum class PreviewKind
{
    None,
    Jpeg,
    Gif,
};

// What a restored copy is to be decoded as. A leading FF D8 FF is a JPEG even without "JFIF" (an
// Exif photo begins with its APP1 segment); a leading GIF87a / GIF89a is a GIF; failing both,
// "JFIF" anywhere makes it a JPEG, which may then fail to decode.
[[nodiscard]] PreviewKind ClassifyRestored(std::string_view restored);

enum class PreviewOutcome
{
    TooSmall, // under kMinimumPreviewSize
    TooLarge, // over kMaxPreviewFileSize
    NotAnImage, // restored, but neither JPEG nor GIF
    Undecodable, // looked like an image and failed to decode
    Image,
};

// What the panel does with each outcome: the label "预览只支持jpg,gif" is shown for every outcome
// but a picture, and the status line names the file only once the file was restored.
constexpr bool ShowsLabel(PreviewOutcome outcome) { return outcome != PreviewOutcome::Image; }
constexpr bool SetsStatus(PreviewOutcome outcome)
{
    return outcome != PreviewOutcome::TooSmall && outcome != PreviewOutcome::TooLarge;
}

struct PreviewResult
{
    PreviewOutcome outcome = PreviewOutcome::TooSmall;
    PreviewKind kind = PreviewKind::None;
    std::optional<DecodedImage> image; // set only for PreviewOutcome::Image, at the drawn size
};

// The whole preview of one file's bytes, for a panel of the given size. Pure: no I/O and no shared
// state, so it may run on any thread.
[[nodiscard]] PreviewResult PreviewRestored(
    std::string_view fileBytes, int panelWidth, int panelHeight);

} // namespace results
