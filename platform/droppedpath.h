#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The bytes of a percent-encoded path ("%E6%96%87" and the like). A '%' that is not followed by
// two hexadecimal digits stands for itself.
std::string PercentDecode(std::string_view encoded);

// A dropped path as the folder box takes it: a plain folder (nothing set among read-only, hidden,
// system, directory and archive but the directory bit) gets the separator appended; anything else,
// and a path whose attributes could not be read, stays as it is.
std::string NormaliseDroppedPath(std::string path, std::uint32_t attributes, char separator);

} // namespace platform
