#pragma once

#include "text/bytetext.h"

#include <string_view>

namespace scan {

// A file-name match with the rules of the Windows folder enumeration: ASCII letters match in any
// case, '*' stands for any run of characters and '?' for exactly one character (a multi-byte
// character counts as one), and a trailing ".*" also matches a name without an extension, so
// "*.*" matches every name. Worst case pattern length times name length; never exponential.
bool WildcardMatch(std::string_view pattern, std::string_view name, text::CodePage cp);
bool WildcardMatch(std::string_view pattern, std::string_view name); // native code page

} // namespace scan
