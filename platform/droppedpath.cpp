#include "platform/droppedpath.h"

#include "platform/platform.h"

namespace platform {

namespace {

    // The attribute bits that decide whether a folder is plain: read-only, hidden, system,
    // directory, archive.
    constexpr std::uint32_t kConsideredAttributes = 0x37;

    int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

} // namespace

std::string PercentDecode(std::string_view encoded)
{
    std::string bytes;
    bytes.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0
            && HexValue(encoded[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 2;
        } else {
            bytes += encoded[i];
        }
    }
    return bytes;
}

std::string NormaliseDroppedPath(std::string path, std::uint32_t attributes, char separator)
{
    if (attributes != kInvalidAttributes
        && (attributes & kConsideredAttributes) == kAttributeDirectory && !path.empty()
        && path.back() != separator)
        path += separator;
    return path;
}

} // namespace platform
