#include "scan/wildcard.h"

namespace scan {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the character of pattern at p (length pLen) equals the one of name at n (length nLen).
bool SameCharacter(std::string_view pattern, std::size_t p, std::size_t pLen, std::string_view name,
    std::size_t n, std::size_t nLen)
{
    if (pLen != nLen)
        return false;
    if (pLen == 1)
        return FoldAscii(pattern[p]) == FoldAscii(name[n]);
    return pattern.compare(p, pLen, name, n, nLen) == 0;
}

// Greedy match that remembers only the last '*': when a later literal fails, that star takes one
// more character and matching resumes. Earlier stars never need to be revisited, which keeps the
// cost at pattern length times name length.
bool PlainMatch(std::string_view pattern, std::string_view name, text::CodePage cp)
{
    std::size_t p = 0, n = 0;
    std::size_t starP = text::npos, starN = 0;
    while (n < name.size()) {
        const std::size_t nLen = text::CharLength(name, n, cp);
        if (p < pattern.size()) {
            const std::size_t pLen = text::CharLength(pattern, p, cp);
            if (pattern[p] == '*') {
                starP = ++p;
                starN = n;
                continue;
            }
            if (pattern[p] == '?' || SameCharacter(pattern, p, pLen, name, n, nLen)) {
                p += pLen;
                n += nLen;
                continue;
            }
        }
        if (starP == text::npos)
            return false;
        starN += text::CharLength(name, starN, cp);
        p = starP;
        n = starN;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name, text::CodePage cp)
{
    if (PlainMatch(pattern, name, cp))
        return true;
    // "x.*" also matches "x": the dot and the star may stand for nothing at the end of the name.
    constexpr std::string_view kAnyExtension = ".*";
    if (pattern.size() >= kAnyExtension.size() && pattern.ends_with(kAnyExtension))
        return PlainMatch(pattern.substr(0, pattern.size() - kAnyExtension.size()), name, cp);
    return false;
}

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    return WildcardMatch(pattern, name, text::NativeCodePage());
}

} // namespace scan
