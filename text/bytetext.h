#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Byte text in a narrow code page, as the file system hands it over. Positions are 0-based byte
// offsets; a search that finds nothing returns npos. Every search steps over multi-byte characters,
// so a match never starts on a trailing byte of one.
namespace text {

enum class CodePage {
    Gbk,  // a byte >= 0x80 and the byte after it form one character
    Utf8, // well-formed sequences are one character; a stray byte stands alone
};

inline constexpr std::size_t npos = std::string_view::npos;

// The code page of the platform's file names: UTF-8 on Linux.
CodePage NativeCodePage();

// Length in bytes of the character that starts at byte `at` (at < text.size()).
std::size_t CharLength(std::string_view text, std::size_t at, CodePage cp);

std::size_t Find(std::string_view text, std::string_view needle, CodePage cp, std::size_t from = 0);
std::size_t FindLast(std::string_view text, std::string_view needle, CodePage cp);

// Lower-cases ASCII A-Z only; every byte of a multi-byte character stays as it is.
std::string AsciiLower(std::string_view text, CodePage cp);

inline std::size_t Find(std::string_view text, std::string_view needle)
{
    return Find(text, needle, NativeCodePage());
}
inline std::size_t FindLast(std::string_view text, std::string_view needle)
{
    return FindLast(text, needle, NativeCodePage());
}
inline std::string AsciiLower(std::string_view text) { return AsciiLower(text, NativeCodePage()); }

} // namespace text
