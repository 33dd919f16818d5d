#include "text/bytetext.h"

namespace text {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

std::size_t Utf8Length(std::string_view s, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(s[at]);
    std::size_t len = 1;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        if (lead == 0xE0)
            lo = 0xA0; // no overlong forms
        if (lead == 0xED)
            hi = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        if (lead == 0xF0)
            lo = 0x90;
        if (lead == 0xF4)
            hi = 0x8F;
    } else {
        return 1;
    }
    if (at + len > s.size())
        return 1;
    const auto first = static_cast<unsigned char>(s[at + 1]);
    if (first < lo || first > hi)
        return 1;
    for (std::size_t k = 2; k < len; ++k)
        if (!IsContinuation(static_cast<unsigned char>(s[at + k])))
            return 1;
    return len;
}

// In UTF-8 every ASCII byte is a character of its own, even inside malformed text, so a needle
// that begins with an ASCII byte can only match at a character start: the plain search is exact.
bool PlainSearchIsExact(std::string_view needle, CodePage cp)
{
    return cp == CodePage::Utf8 && !needle.empty() && static_cast<unsigned char>(needle[0]) < 0x80;
}

} // namespace

CodePage NativeCodePage()
{
#ifdef _WIN32
    return CodePage::Gbk;
#else
    return CodePage::Utf8;
#endif
}

std::size_t CharLength(std::string_view text, std::size_t at, CodePage cp)
{
    const auto b = static_cast<unsigned char>(text[at]);
    if (b < 0x80)
        return 1;
    if (cp == CodePage::Gbk)
        return at + 1 < text.size() ? 2 : 1;
    return Utf8Length(text, at);
}

std::size_t Find(std::string_view text, std::string_view needle, CodePage cp, std::size_t from)
{
    if (from > text.size())
        return npos;
    if (needle.empty())
        return from;
    if (PlainSearchIsExact(needle, cp))
        return text.find(needle, from);
    std::size_t at = 0;
    while (at < from) // from must itself fall on a character start: align to the next one
        at += CharLength(text, at, cp);
    for (; at + needle.size() <= text.size(); at += CharLength(text, at, cp))
        if (text.compare(at, needle.size(), needle) == 0)
            return at;
    return npos;
}

std::size_t FindLast(std::string_view text, std::string_view needle, CodePage cp)
{
    if (needle.empty())
        return text.size();
    if (PlainSearchIsExact(needle, cp))
        return text.rfind(needle);
    std::size_t found = npos;
    for (std::size_t at = 0; at + needle.size() <= text.size(); at += CharLength(text, at, cp))
        if (text.compare(at, needle.size(), needle) == 0)
            found = at;
    return found;
}

std::string AsciiLower(std::string_view text, CodePage cp)
{
    std::string out(text);
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t len = CharLength(out, at, cp);
        if (len == 1 && out[at] >= 'A' && out[at] <= 'Z')
            out[at] = static_cast<char>(out[at] - 'A' + 'a');
        at += len;
    }
    return out;
}

} // namespace text
