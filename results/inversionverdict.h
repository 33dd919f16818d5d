#pragma once

#include <string>
#include <string_view>

namespace results {

enum class DecodeCheck
{
    NotApplicable, // a format that is not checked
    Decodes,
    Fails,
};

struct InversionVerdict
{
    bool inverted = false; // the inverted head carries a known format
    std::string_view format; // the format's name when inverted; points into the format table
    bool wantsDecodeCheck = false; // a format whose restored copy is worth decoding
};

// Inverts the head's first 100 bytes back in memory and names what it turns into. A head that
// identifies as nothing is "unproven": the classifier listed it, but no evidence says it was
// damaged.
[[nodiscard]] InversionVerdict JudgeInversion(std::string_view head);

// Whether a restored copy of that format decodes. JPEG and GIF are decoded (at a tiny size, which
// costs little); PNG is not decoded, its signature and header chunk with its CRC are checked.
[[nodiscard]] DecodeCheck CheckRestoredDecodes(std::string_view format, std::string_view restored);

// True for the formats whose check needs no more than the head that JudgeInversion saw.
[[nodiscard]] bool DecodeCheckNeedsHeadOnly(std::string_view format);

} // namespace results
