#include "fuzz/fuzzinput.h"
#include "platform/droppedpath.h"
#include "platform/platform.h"

#include <string>

namespace {

std::string PercentEncode(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += kHex[b >> 4];
        encoded += kHex[b & 15];
    }
    return encoded;
}

} // namespace

// Input: four bytes of attributes, one byte choosing the separator, then the path.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    std::uint32_t attributes = 0;
    for (int i = 0; i < 4; ++i)
        attributes = attributes << 8 | input.Byte();
    const char separator = input.Byte() & 1 ? '\\' : '/';
    const std::string path(input.Rest());

    // Nothing is ever cut or changed: the result is the path, or the path and one separator.
    const std::string normal = platform::NormaliseDroppedPath(path, attributes, separator);
    FUZZ_CHECK(normal.compare(0, path.size(), path) == 0);
    FUZZ_CHECK(normal.size() == path.size() || normal == path + separator);
    const bool plainFolder = attributes != platform::kInvalidAttributes
        && (attributes & 0x37) == platform::kAttributeDirectory;
    FUZZ_CHECK((normal.size() != path.size())
        == (plainFolder && !path.empty() && path.back() != separator));
    FUZZ_CHECK(platform::NormaliseDroppedPath(normal, attributes, separator) == normal);

    // Every byte survives a round trip through the encoding of a dropped address, and decoding
    // never makes text longer.
    FUZZ_CHECK(platform::PercentDecode(PercentEncode(path)) == path);
    FUZZ_CHECK(platform::PercentDecode(path).size() <= path.size());
    return 0;
}
