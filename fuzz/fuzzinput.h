#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

// Splits one fuzzer input into the pieces a target needs. Reading past the end gives zeros and empty
// views, so every input, however short, reaches the code under test.
class Input
{
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size)
    {
    }

    std::uint8_t Byte()
    {
        if (m_rest.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return b;
    }
    std::string_view Take(std::size_t count)
    {
        const std::string_view piece = m_rest.substr(0, count);
        m_rest.remove_prefix(piece.size());
        return piece;
    }
    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

// A broken promise of the code under test: libFuzzer keeps the input that led here as a crash.
[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::Fail(#condition, __FILE__, __LINE__);                                          \
    } while (false)
