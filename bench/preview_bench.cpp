// Time from a damaged file's bytes in memory to the preview picture at the drawn size, for a
// 24-megapixel photo: the DCT-scaled path against a full decode followed by the same smooth shrink.
// Usage: preview_bench [runs]   (default 5; the best run of each path is reported)

#include "results/areascaler.h"
#include "results/jpegdecoder.h"
#include "results/repairpreview.h"
#include "tests/results/previewfixtures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kPanelWidth = 264;
constexpr int kPanelHeight = 400;

// Smooth shapes plus sensor-like noise: compresses to about what a camera writes at this size.
std::string MakePhoto(bool progressive)
{
    std::mt19937 random(42);
    const auto photo = [&random](int x, int y) {
        const double base = 128 + 60 * std::sin(x / 300.0) * std::cos(y / 200.0);
        fixtures::Rgb c;
        for (int i = 0; i < 3; ++i) {
            const int noise = static_cast<int>(random() % 21) - 10;
            c[i] = std::clamp(static_cast<int>(base) + 30 * i - 30 + noise, 0, 255);
        }
        return c;
    };
    fixtures::JpegRecipe recipe;
    recipe.width = kWidth;
    recipe.height = kHeight;
    recipe.progressive = progressive;
    recipe.quality = 90;
    return fixtures::EncodeJpeg(recipe, photo);
}

template <typename F> double BestMs(int runs, F&& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!work()) {
            std::fprintf(stderr, "preview_bench: decode failed\n");
            std::exit(1);
        }
        const std::chrono::duration<double, std::milli> took
            = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const results::PixelSize drawn = results::DrawnSize(kPanelWidth, kPanelHeight, kWidth, kHeight);
    std::printf("%d x %d into a %d x %d panel, drawn at %d x %d; best of %d runs\n", kWidth,
        kHeight, kPanelWidth, kPanelHeight, drawn.width, drawn.height, runs);
    for (bool progressive : { false, true }) {
        const std::string damaged = fixtures::Damage(MakePhoto(progressive));
        const std::size_t size = damaged.size();

        const double scaled = BestMs(runs, [&] {
            const results::PreviewResult r
                = results::PreviewRestored(damaged, kPanelWidth, kPanelHeight);
            return r.image && r.image->width == drawn.width && r.image->height == drawn.height;
        });
        const double plain = BestMs(runs, [&] {
            const std::string restored = results::RestoredCopy(damaged);
            const auto full
                = results::DecodeJpegAtScale(restored, results::kScaleDenominator, 0, 0);
            if (!full)
                return false;
            const results::DecodedImage image
                = results::ScaleImage(*full, drawn.width, drawn.height);
            return image.width == drawn.width && image.height == drawn.height;
        });
        std::printf(
            "%-11s %.2f MB: DCT-scaled %8.1f ms, full decode + scale %8.1f ms, ratio %.1fx\n",
            progressive ? "progressive" : "baseline", size / 1e6, scaled, plain, plain / scaled);
    }
    return 0;
}
