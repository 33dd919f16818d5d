#include "fuzz/fuzzinput.h"
#include "results/gifdecoder.h"
#include "results/jpegdecoder.h"
#include "results/repairpreview.h"

#include <algorithm>

namespace {

void CheckImage(const results::DecodedImage& image, int panelWidth, int panelHeight)
{
    FUZZ_CHECK(image.width >= 1 && image.width <= panelWidth);
    FUZZ_CHECK(image.height >= 1 && image.height <= panelHeight);
    FUZZ_CHECK(image.stride == results::RgbStride(image.width));
    FUZZ_CHECK(image.pixels.size() >= std::size_t(image.stride) * std::size_t(image.height));
}

} // namespace

// Input: a mode byte, two bytes of panel size, then the file's bytes. Mode 0 is the whole preview of
// a damaged file (restore, then decode); modes 1 and 2 hand the bytes to one decoder directly, so
// that healthy pictures in the corpus reach deep into each decoder.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const int mode = input.Byte() % 3;
    const int panelWidth = 1 + input.Byte() * 2;
    const int panelHeight = 1 + input.Byte() * 2;
    const std::string_view bytes = input.Rest();

    switch (mode) {
    case 0: {
        const results::PreviewResult result = results::PreviewRestored(bytes, panelWidth, panelHeight);
        FUZZ_CHECK(result.image.has_value() == (result.outcome == results::PreviewOutcome::Image));
        FUZZ_CHECK(bytes.size() >= results::kMinimumPreviewSize
                   || result.outcome == results::PreviewOutcome::TooSmall);
        if (result.image)
            CheckImage(*result.image, panelWidth, panelHeight);
        break;
    }
    case 1:
        if (const auto image = results::DecodeJpeg(bytes, panelWidth, panelHeight))
            CheckImage(*image, panelWidth, panelHeight);
        break;
    default:
        if (const auto image = results::DecodeGif(bytes, panelWidth, panelHeight))
            CheckImage(*image, panelWidth, panelHeight);
        break;
    }
    return 0;
}
