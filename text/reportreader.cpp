#include "text/reportreader.h"

#include <utility>

namespace text {

void ReportReader::Feed(std::string_view bytes, std::vector<std::string>& texts)
{
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, newline);
        if (!m_skipping) {
            if (m_partial.size() + piece.size() > kMaxTextBytes) {
                m_skipping = true;
                m_partial.clear();
                m_partial.shrink_to_fit();
            } else {
                m_partial.append(piece);
            }
        }
        if (newline == std::string_view::npos)
            return;
        if (!m_skipping && IsReportableText(m_partial))
            texts.push_back(std::move(m_partial));
        m_partial.clear();
        m_skipping = false;
        bytes.remove_prefix(newline + 1);
    }
}

bool IsReportableText(std::string_view text)
{
    return !text.empty() && text.find('\0') == std::string_view::npos && IsValidUtf8(text);
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF; // the range of the byte after the lead
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong below U+0800
            else if (lead == 0xED)
                high = 0x9F; // UTF-16 surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // overlong below U+10000
            else if (lead == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false; // a continuation byte, an overlong C0/C1 lead, or F5..FF
        }
        if (bytes.size() - i < length)
            return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (next < 0x80 || next > 0xBF)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace text
