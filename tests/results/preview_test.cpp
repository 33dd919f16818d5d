#include "previewfixtures.h"
#include "results/areascaler.h"
#include "results/repairpreview.h"

#include <gtest/gtest.h>

using namespace results;

namespace {

TEST(RestoredCopy, InvertsOnlyTheFirstHundredBytes)
{
    for (std::size_t length : { 0u, 1u, 99u, 100u, 101u, 300u }) {
        std::string bytes(length, '\0');
        for (std::size_t i = 0; i < length; ++i)
            bytes[i] = static_cast<char>(i * 7);
        const std::string copy = RestoredCopy(bytes);
        ASSERT_EQ(copy.size(), length);
        for (std::size_t i = 0; i < length; ++i) {
            const auto want = static_cast<unsigned char>(i < 100 ? bytes[i] ^ 0xFF : bytes[i]);
            ASSERT_EQ(static_cast<unsigned char>(copy[i]), want)
                << "length " << length << " at " << i;
        }
    }
}

TEST(ClassifyRestored, LeadingSignaturesFirstThenJfifAnywhere)
{
    const std::string pad(150, 'x');
    const struct
    {
        const char* what;
        std::string bytes;
        PreviewKind kind;
    } cases[] = {
        { "JFIF JPEG",
            "\xFF\xD8\xFF\xE0\x00\x10"
            "JFIF"
                + pad,
            PreviewKind::Jpeg },
        { "Exif JPEG without JFIF",
            "\xFF\xD8\xFF\xE1\x00\x10"
            "Exif"
                + pad,
            PreviewKind::Jpeg },
        { "FF D8 without a third FF", "\xFF\xD8\x00" + pad, PreviewKind::None },
        { "JFIF late in the copy", pad + "JFIF", PreviewKind::Jpeg },
        { "JFIF cut off at the end", pad + "JFI", PreviewKind::None },
        { "GIF87a", "GIF87a" + pad, PreviewKind::Gif },
        { "GIF89a", "GIF89a" + pad, PreviewKind::Gif },
        { "GIF89a carrying JFIF in its data", "GIF89a" + pad + "JFIF", PreviewKind::Gif },
        { "unknown GIF version", "GIF88a" + pad, PreviewKind::None },
        { "PNG", "\x89PNG\r\n\x1a\n" + pad, PreviewKind::None },
        { "empty", "", PreviewKind::None },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyRestored(c.bytes), c.kind) << c.what;
}

TEST(PreviewRestored, OutcomeDecidesLabelAndStatus)
{
    const std::string jpeg
        = fixtures::EncodeJpeg({}, [](int x, int y) { return fixtures::Gradient(x, y, 96, 64); });
    ASSERT_GT(jpeg.size(), 200u);
    // A PNG renamed .jpg: its real signature and header chunk, damaged like any other file.
    std::string png
        = "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\x0dIHDR", 8) + std::string(300, '\0');
    const std::string notJpeg = "JFIF" + std::string(196, '\x55');

    const struct
    {
        const char* what;
        std::string bytes;
        PreviewOutcome outcome;
        bool label;
        bool status;
    } cases[] = {
        { "199 bytes of a damaged JPEG", fixtures::Damage(jpeg).substr(0, 199),
            PreviewOutcome::TooSmall, true, false },
        { "200 bytes with JFIF restored but undecodable", fixtures::Damage(notJpeg),
            PreviewOutcome::Undecodable, true, true },
        { "200 bytes of nothing known", std::string(200, '\0'), PreviewOutcome::NotAnImage, true,
            true },
        { "damaged PNG named .jpg", fixtures::Damage(png), PreviewOutcome::NotAnImage, true, true },
        { "healthy JPEG: restoring damages it", jpeg, PreviewOutcome::NotAnImage, true, true },
        { "damaged JPEG", fixtures::Damage(jpeg), PreviewOutcome::Image, false, true },
        { "over the size limit", std::string(kMaxPreviewFileSize + 1, '\0'),
            PreviewOutcome::TooLarge, true, false },
    };
    for (const auto& c : cases) {
        const PreviewResult r = PreviewRestored(c.bytes, 264, 400);
        EXPECT_EQ(r.outcome, c.outcome) << c.what;
        EXPECT_EQ(r.image.has_value(), c.outcome == PreviewOutcome::Image) << c.what;
        EXPECT_EQ(ShowsLabel(r.outcome), c.label) << c.what;
        EXPECT_EQ(SetsStatus(r.outcome), c.status) << c.what;
    }
}

DecodedImage Rows(int width, const std::vector<std::vector<int>>& grey)
{
    DecodedImage image;
    image.width = width;
    image.height = static_cast<int>(grey.size());
    image.stride = RgbStride(width);
    image.pixels.assign(static_cast<std::size_t>(image.stride) * image.height, 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.pixels[static_cast<std::size_t>(y) * image.stride + 3 * x + c]
                    = static_cast<std::uint8_t>(grey[y][x]);
    return image;
}

TEST(AreaScaler, AveragesTheCoveredAreaWithFractionalEdges)
{
    const struct
    {
        const char* what;
        DecodedImage source;
        int width, height;
        std::vector<std::vector<int>> want;
    } cases[] = {
        { "2x2 blocks", Rows(4, { { 0, 40, 100, 100 }, { 80, 120, 100, 100 } }), 2, 1,
            { { 60, 100 } } },
        // Three pixels into two: each target takes one whole pixel and half of the middle one.
        { "3 into 2 across", Rows(3, { { 0, 90, 180 } }), 2, 1, { { 30, 150 } } },
        { "3 into 2 down", Rows(1, { { 0 }, { 90 }, { 180 } }), 1, 2, { { 30 }, { 150 } } },
        { "same size is a copy", Rows(3, { { 1, 2, 3 }, { 4, 5, 6 } }), 3, 2,
            { { 1, 2, 3 }, { 4, 5, 6 } } },
        { "larger target is clamped", Rows(2, { { 7, 9 } }), 5, 3, { { 7, 9 } } },
    };
    for (const auto& c : cases) {
        const DecodedImage out = ScaleImage(c.source, c.width, c.height);
        ASSERT_EQ(out.height, static_cast<int>(c.want.size())) << c.what;
        ASSERT_EQ(out.width, static_cast<int>(c.want[0].size())) << c.what;
        EXPECT_EQ(out.stride % 4, 0) << c.what;
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                EXPECT_EQ(fixtures::PixelAt(out, x, y),
                    (fixtures::Rgb { c.want[y][x], c.want[y][x], c.want[y][x] }))
                    << c.what << " at " << x << "," << y;
    }
}

} // namespace
