#pragma once

#include "platform/platform.h"
#include "text/bytetext.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace scan {

inline constexpr std::uint64_t kMinimumLength = 100; // a shorter file is not examined
inline constexpr std::size_t kHeadLength = 330;
inline constexpr std::size_t kMarkerWindow = 224; // "JFIF" counts only wholly inside this
inline constexpr std::string_view kExcludedExtensions = ".exe.dll.sys.com.scr.ocx";

// True when the head carries neither the JFIF marker inside the marker window nor any signature.
bool IsHeaderUnrecognised(std::string_view head);

// The extension of the path's file name without the dot, as written; empty when there is none.
// Both searches step over multi-byte characters, so a trailing byte is never taken for the
// separator or the dot.
std::string FileExtension(std::string_view path, char separator, text::CodePage cp);
std::string FileExtension(std::string_view path); // the native separator and code page

// True when the file must be listed as repairable. Only reads; the caller adds the row.
bool ClassifyFile(platform::Platform& platform, const std::string& path);
// The same judgement on a head that the caller has already read from path.
bool ClassifyHead(std::string_view path, const platform::FileHead& head, char separator);

} // namespace scan
