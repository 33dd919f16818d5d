#include "results/areascaler.h"

#include <algorithm>
#include <cstring>

namespace results {

AreaScaler::AreaScaler(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight)
    : m_sourceWidth(std::max(sourceWidth, 1))
    , m_sourceHeight(std::max(sourceHeight, 1))
    , m_targetWidth(std::clamp(targetWidth, 1, m_sourceWidth))
    , m_targetHeight(std::clamp(targetHeight, 1, m_sourceHeight))
    , m_image(WhiteImage(m_targetWidth, m_targetHeight, m_sourceWidth, m_sourceHeight))
{

    // On a common axis a source pixel is targetWidth units long and a target pixel sourceWidth
    // units, so every overlap is an exact integer; only the final weight is a fraction.
    const long long sw = m_sourceWidth, tw = m_targetWidth;
    m_taps.resize(m_targetWidth);
    for (int d = 0; d < m_targetWidth; ++d) {
        const long long lo = d * sw, hi = lo + sw;
        const int first = static_cast<int>(lo / tw);
        const int last = static_cast<int>((hi - 1) / tw);
        m_taps[d] = { first, last - first + 1, static_cast<int>(m_weights.size()) };
        for (int s = first; s <= last; ++s) {
            const long long overlap = std::min(hi, (s + 1) * tw) - std::max(lo, s * tw);
            m_weights.push_back(static_cast<float>(overlap) / static_cast<float>(sw));
        }
    }
    m_line.resize(static_cast<std::size_t>(m_targetWidth) * 3);
    m_sum.assign(m_line.size(), 0.0f);
}

void AreaScaler::AddRow(const std::uint8_t* row)
{
    if (m_sourceRow >= m_sourceHeight)
        return;
    const int s = m_sourceRow++;
    if (m_targetWidth == m_sourceWidth && m_targetHeight == m_sourceHeight) {
        std::memcpy(&m_image.pixels[static_cast<std::size_t>(s) * m_image.stride], row,
            static_cast<std::size_t>(m_sourceWidth) * 3);
        return;
    }

    float* line = m_line.data();
    for (int d = 0; d < m_targetWidth; ++d) {
        const Tap& tap = m_taps[d];
        const std::uint8_t* px = row + static_cast<std::size_t>(tap.first) * 3;
        const float* w = &m_weights[tap.weights];
        float r = 0, g = 0, b = 0;
        for (int k = 0; k < tap.count; ++k, px += 3) {
            r += w[k] * px[0];
            g += w[k] * px[1];
            b += w[k] * px[2];
        }
        line[3 * d] = r;
        line[3 * d + 1] = g;
        line[3 * d + 2] = b;
    }

    // Source row s spans [s*th, (s+1)*th) and target row d spans [d*sh, (d+1)*sh). The target is
    // never taller than the source, so one source row reaches at most two target rows.
    const long long sh = m_sourceHeight, th = m_targetHeight;
    const long long lo = s * th, hi = lo + th;
    const long long boundary = (m_targetRow + 1) * sh;
    const auto add = [this](long long overlap, long long whole) {
        const float w = static_cast<float>(overlap) / static_cast<float>(whole);
        for (std::size_t i = 0; i < m_sum.size(); ++i)
            m_sum[i] += w * m_line[i];
    };
    if (hi <= boundary) {
        add(hi - lo, sh);
        if (hi == boundary)
            EmitRow();
    } else {
        add(boundary - lo, sh);
        EmitRow();
        add(hi - boundary, sh);
    }
}

void AreaScaler::EmitRow()
{
    if (m_targetRow >= m_targetHeight)
        return;
    std::uint8_t* out = &m_image.pixels[static_cast<std::size_t>(m_targetRow) * m_image.stride];
    for (std::size_t i = 0; i < m_sum.size(); ++i) {
        out[i] = static_cast<std::uint8_t>(std::min(m_sum[i] + 0.5f, 255.0f));
        m_sum[i] = 0;
    }
    ++m_targetRow;
}

DecodedImage AreaScaler::Finish() { return std::move(m_image); }

DecodedImage ScaleImage(const DecodedImage& source, int targetWidth, int targetHeight)
{
    AreaScaler scaler(source.width, source.height, targetWidth, targetHeight);
    for (int y = 0; y < source.height; ++y)
        scaler.AddRow(&source.pixels[static_cast<std::size_t>(y) * source.stride]);
    DecodedImage out = scaler.Finish();
    out.warnings = source.warnings;
    out.sourceWidth = source.sourceWidth;
    out.sourceHeight = source.sourceHeight;
    return out;
}

} // namespace results
