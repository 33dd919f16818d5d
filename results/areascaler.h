#pragma once

#include "results/decodedimage.h"

#include <cstdint>
#include <vector>

namespace results {

// Shrinks an RGB888 picture by area averaging: every target pixel is the mean of the source area it
// covers, with fractional weights at the edges. Rows are fed one at a time, top to bottom, so a
// decoder can stream into it without holding the whole source picture. Each axis either shrinks or
// stays equal; a larger target is clamped to the source size on that axis.
class AreaScaler
{
public:
    AreaScaler(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

    // `row` holds sourceWidth RGB pixels. Rows past sourceHeight are ignored.
    void AddRow(const std::uint8_t* row);
    // The rows fed so far; rows never fed stay white (a decoder that gave up early).
    [[nodiscard]] DecodedImage Finish();

private:
    struct Tap
    {
        int first = 0; // first source pixel of the target pixel
        int count = 0;
        int weights = 0; // index into m_weights
    };
    void EmitRow();

    int m_sourceWidth, m_sourceHeight, m_targetWidth, m_targetHeight;
    int m_sourceRow = 0; // next source row expected
    int m_targetRow = 0; // target row being accumulated
    std::vector<Tap> m_taps;
    std::vector<float> m_weights;
    std::vector<float> m_line; // one source row shrunk horizontally
    std::vector<float> m_sum; // the target row being accumulated
    DecodedImage m_image;
};

// Whole-picture form of AreaScaler, for pictures already held in memory.
[[nodiscard]] DecodedImage ScaleImage(
    const DecodedImage& source, int targetWidth, int targetHeight);

} // namespace results
