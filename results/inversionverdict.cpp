#include "results/inversionverdict.h"

#include "results/gifdecoder.h"
#include "results/jpegdecoder.h"
#include "results/repairpreview.h"
#include "scan/formattable.h"

#include <array>
#include <cstdint>

namespace results {

namespace {

// The decoders pick their scale from the panel size: the smallest panel decodes fastest.
constexpr int kCheckSide = 16;

constexpr std::size_t kPngHeaderEnd = 33; // signature, then IHDR: length, type, 13 bytes, CRC

std::uint32_t Crc32(std::string_view bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t {};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at)
{
    return (std::uint32_t(static_cast<unsigned char>(bytes[at])) << 24)
        | (std::uint32_t(static_cast<unsigned char>(bytes[at + 1])) << 16)
        | (std::uint32_t(static_cast<unsigned char>(bytes[at + 2])) << 8)
        | std::uint32_t(static_cast<unsigned char>(bytes[at + 3]));
}

bool PngHeaderIntact(std::string_view bytes)
{
    using namespace std::string_view_literals;
    if (bytes.size() < kPngHeaderEnd || !bytes.starts_with("\x89PNG\r\n\x1A\n"sv))
        return false;
    if (BigEndian32(bytes, 8) != 13 || bytes.substr(12, 4) != "IHDR"sv)
        return false;
    return Crc32(bytes.substr(12, 17)) == BigEndian32(bytes, 29);
}

} // namespace

InversionVerdict JudgeInversion(std::string_view head)
{
    const std::string restored = RestoredCopy(head);
    const scan::FileFormat* format = scan::IdentifyFormat(restored);
    if (!format)
        return {};
    const bool checked = format->name == "jpeg" || format->name == "gif" || format->name == "png";
    return { true, format->name, checked };
}

bool DecodeCheckNeedsHeadOnly(std::string_view format) { return format == "png"; }

DecodeCheck CheckRestoredDecodes(std::string_view format, std::string_view restored)
{
    bool decodes = false;
    if (format == "jpeg")
        decodes = DecodeJpeg(restored, kCheckSide, kCheckSide).has_value();
    else if (format == "gif")
        decodes = DecodeGif(restored, kCheckSide, kCheckSide).has_value();
    else if (format == "png")
        decodes = PngHeaderIntact(restored);
    else
        return DecodeCheck::NotApplicable;
    return decodes ? DecodeCheck::Decodes : DecodeCheck::Fails;
}

} // namespace results
