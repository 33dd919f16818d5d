#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// The report socket's file name inside the program's runtime folder: the window listens on it,
// filemend-report writes to it.
inline constexpr char kReportSocketName[] = "report";

// Splits the byte stream of one report connection into texts. A message is UTF-8 text ended by
// "\n"; a message longer than kMaxMessageBytes is dropped whole, up to and including its newline,
// and so is an empty one, one that is not valid UTF-8, or one that holds a NUL byte. Bytes after
// the last newline wait for the next piece; at the end of a stream they are dropped with the
// reader.
class ReportReader
{
public:
    // Newline included, so the longest text has 32767 bytes, which an edit box holds uncut.
    static constexpr std::size_t kMaxMessageBytes = 32 * 1024;
    static constexpr std::size_t kMaxTextBytes = kMaxMessageBytes - 1;

    // Appends the texts that bytes completes to texts, in stream order.
    void Feed(std::string_view bytes, std::vector<std::string>& texts);

    // Bytes held of a message whose newline has not come yet; never above kMaxTextBytes.
    std::size_t pending() const { return m_partial.size(); }

private:
    std::string m_partial;
    bool m_skipping = false; // inside an over-long message: everything up to its newline goes
};

// A text that a report message may carry: not empty, valid UTF-8, no NUL byte.
bool IsReportableText(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

} // namespace text
