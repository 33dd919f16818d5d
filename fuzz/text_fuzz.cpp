#include "fuzz/fuzzinput.h"
#include "scan/classifier.h"
#include "scan/wildcard.h"
#include "text/bytetext.h"

#include <string>

namespace {

bool IsCharacterStart(std::string_view text, std::size_t at, text::CodePage cp)
{
    std::size_t start = 0;
    while (start < at)
        start += text::CharLength(text, start, cp);
    return start == at;
}

void CheckSearches(std::string_view text, std::string_view needle, std::size_t from,
                   text::CodePage cp)
{
    const std::size_t first = text::Find(text, needle, cp);
    const std::size_t last = text::FindLast(text, needle, cp);
    FUZZ_CHECK((first == text::npos) == (last == text::npos));
    for (const std::size_t at : { first, last }) {
        if (at == text::npos)
            continue;
        FUZZ_CHECK(at <= text.size() && text.substr(at, needle.size()) == needle);
        FUZZ_CHECK(IsCharacterStart(text, at, cp));
    }
    FUZZ_CHECK(first == text::npos || first <= last);

    const std::size_t later = text::Find(text, needle, cp, from);
    if (later != text::npos) {
        FUZZ_CHECK(later >= from && text.substr(later, needle.size()) == needle);
        FUZZ_CHECK(IsCharacterStart(text, later, cp));
    }
}

} // namespace

// Input: a flag byte (bit 0 picks the code page), a length byte that splits the rest into a short
// needle or pattern and a longer text or file name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const auto cp = (input.Byte() & 1) ? text::CodePage::Gbk : text::CodePage::Utf8;
    const std::string_view pattern = input.Take(input.Byte() % 64);
    const std::string_view name = input.Rest();

    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = text::CharLength(name, at, cp);
        FUZZ_CHECK(length >= 1 && length <= 4 && at + length <= name.size());
        at += length;
    }

    CheckSearches(name, pattern, pattern.size(), cp);

    const std::string lower = text::AsciiLower(name, cp);
    FUZZ_CHECK(lower.size() == name.size());
    FUZZ_CHECK(text::AsciiLower(lower, cp) == lower);

    const bool matched = scan::WildcardMatch(pattern, name, cp);
    FUZZ_CHECK(scan::WildcardMatch("*", name, cp));
    FUZZ_CHECK(scan::WildcardMatch("*.*", name, cp));
    // Letters match in any case: lowering either side never changes the verdict.
    FUZZ_CHECK(scan::WildcardMatch(pattern, lower, cp) == matched);
    FUZZ_CHECK(scan::WildcardMatch(text::AsciiLower(pattern, cp), name, cp) == matched);
    if (pattern.find_first_of("*?") == std::string_view::npos)
        FUZZ_CHECK(scan::WildcardMatch(pattern, pattern, cp));

    const std::string extension = scan::FileExtension(name, '\\', cp);
    FUZZ_CHECK(name.ends_with(extension));
    return 0;
}
