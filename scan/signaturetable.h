#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace scan {

// A format signature: the bytes a healthy file of that format begins with. Case matters.
struct Signature
{
    std::string_view bytes;
    std::string_view format;
};

inline constexpr std::size_t kSignatureCount = 15;

// Every entry leads to the same verdict (healthy), so the order changes nothing but the cost.
extern const std::array<Signature, kSignatureCount> kSignatureTable;

// True when head holds at least as many bytes as the signature and begins with them.
bool BeginsWith(std::string_view head, const Signature& signature);

} // namespace scan
