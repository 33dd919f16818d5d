#include "previewfixtures.h"
#include "results/areascaler.h"
#include "results/jpegdecoder.h"
#include "results/repairpreview.h"

#include <gtest/gtest.h>

#include <random>

using namespace results;
using fixtures::JpegColour;
using fixtures::JpegRecipe;

namespace {

fixtures::Pattern GradientOf(int width, int height)
{
    return [=](int x, int y) { return fixtures::Gradient(x, y, width, height); };
}

TEST(DecodeJpeg, DamagedPicturesComeBackThroughThePreview)
{
    const struct
    {
        const char* what;
        JpegRecipe recipe;
        int tolerance;
    } cases[] = {
        { "JFIF baseline", {}, 8 },
        { "progressive", { .progressive = true }, 8 },
        { "Exif, no JFIF", { .exif = true }, 8 },
        { "grayscale", { .colour = JpegColour::Gray }, 4 },
        { "Adobe CMYK", { .colour = JpegColour::CmykAdobe }, 10 },
        { "plain CMYK", { .colour = JpegColour::CmykPlain }, 10 },
        { "YCCK", { .colour = JpegColour::Ycck }, 10 },
        { "grayscale progressive", { .colour = JpegColour::Gray, .progressive = true }, 4 },
    };
    for (const auto& c : cases) {
        const int w = c.recipe.width, h = c.recipe.height;
        fixtures::Pattern pattern = GradientOf(w, h);
        if (c.recipe.colour == JpegColour::Gray)
            pattern = [=](int x, int y) {
                const int v = fixtures::Gradient(x, y, w, h)[0];
                return fixtures::Rgb { v, v, v };
            };
        const std::string original = fixtures::EncodeJpeg(c.recipe, pattern);
        if (c.recipe.exif) {
            ASSERT_EQ(original.find("JFIF"), std::string::npos) << c.what;
        }

        const PreviewResult r = PreviewRestored(fixtures::Damage(original), 264, 400);
        ASSERT_EQ(r.outcome, PreviewOutcome::Image) << c.what;
        EXPECT_EQ(r.kind, PreviewKind::Jpeg) << c.what;
        const DecodedImage& image = *r.image;
        EXPECT_EQ(image.width, w) << c.what;
        EXPECT_EQ(image.height, h) << c.what;
        EXPECT_EQ(image.warnings, 0) << c.what;
        EXPECT_LE(fixtures::MaxDifference(image, pattern), c.tolerance) << c.what;
    }
}

TEST(ChooseScale, SmallestDctScaleThatStillCoversTheDrawnSize)
{
    const struct
    {
        int sw, sh;
        int numerator, width, height;
        PixelSize drawn;
    } cases[] = {
        { 6000, 4000, 1, 750, 500, { 264, 176 } }, { 264, 400, 8, 264, 400, { 264, 400 } },
        { 100, 50, 8, 100, 50, { 100, 50 } }, { 528, 800, 4, 264, 400, { 264, 400 } },
        { 529, 800, 4, 265, 400, { 264, 399 } }, // 3/8 would give 199 x 300
        { 1000, 1000, 3, 375, 375, { 264, 264 } }, // 2/8 is 250, one short
        { 10000, 1, 1, 1250, 1, { 264, 1 } }, // a sliver keeps one row
    };
    for (const auto& c : cases) {
        const ScaleChoice s = ChooseScale(c.sw, c.sh, 264, 400);
        EXPECT_EQ(s.numerator, c.numerator) << c.sw << "x" << c.sh;
        EXPECT_EQ(s.width, c.width) << c.sw << "x" << c.sh;
        EXPECT_EQ(s.height, c.height) << c.sw << "x" << c.sh;
        EXPECT_EQ(s.drawn, c.drawn) << c.sw << "x" << c.sh;
    }
}

TEST(DecodeJpeg, LargePhotoScaledInTheDctMatchesAFullDecode)
{
    const JpegRecipe recipe { .width = 6000, .height = 4000, .quality = 75 };
    const std::string jpeg = fixtures::EncodeJpeg(recipe, GradientOf(6000, 4000));
    const auto fast = DecodeJpeg(jpeg, 264, 400);
    ASSERT_TRUE(fast);
    EXPECT_EQ(fast->width, 264);
    EXPECT_EQ(fast->height, 176);
    EXPECT_EQ(fast->sourceWidth, 6000);
    EXPECT_EQ(fast->sourceHeight, 4000);

    const auto full = DecodeJpegAtScale(jpeg, 8, 0, 0);
    ASSERT_TRUE(full);
    ASSERT_EQ(full->width, 6000);
    const DecodedImage reference = ScaleImage(*full, 264, 176);
    const fixtures::Pattern same = [&](int x, int y) { return fixtures::PixelAt(reference, x, y); };
    EXPECT_LE(fixtures::MaxDifference(*fast, same), 3);
}

// The middle of the entropy-coded data of the file's largest scan. A cut inside a table segment
// instead makes the table itself invalid, which libjpeg rightly refuses.
std::size_t MiddleOfLargestScan(const std::string& jpeg)
{
    std::size_t best = 0, bestLength = 0;
    for (std::size_t sos = jpeg.find("\xFF\xDA"); sos != std::string::npos;) {
        const std::size_t next = jpeg.find("\xFF\xDA", sos + 2);
        const std::size_t end = next == std::string::npos ? jpeg.size() : next;
        if (end - sos > bestLength) {
            best = sos;
            bestLength = end - sos;
        }
        sos = next;
    }
    return best + bestLength / 2;
}

TEST(DecodeJpeg, TruncatedFileShowsWhatDecodedAndWarns)
{
    for (bool progressive : { false, true }) {
        const JpegRecipe recipe { .width = 256, .height = 256, .progressive = progressive };
        const std::string jpeg = fixtures::EncodeJpeg(recipe, GradientOf(256, 256));
        const auto image = DecodeJpeg(jpeg.substr(0, MiddleOfLargestScan(jpeg)), 264, 400);
        ASSERT_TRUE(image) << "progressive " << progressive;
        EXPECT_GT(image->warnings, 0) << "progressive " << progressive;
        EXPECT_EQ(image->width, 256);
        EXPECT_EQ(image->height, 256);
        if (!progressive) { // a baseline file's first rows are whole
            const fixtures::Pattern top = GradientOf(256, 256);
            DecodedImage firstRows = *image;
            firstRows.height = 32;
            EXPECT_LE(fixtures::MaxDifference(firstRows, top), 8);
        }
    }
}

// Patches the size in the first SOF segment.
std::string WithSize(std::string jpeg, int width, int height)
{
    const std::size_t sof = jpeg.find("\xFF\xC0");
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xFF);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

TEST(DecodeJpeg, RefusesGarbageAndAbsurdSizes)
{
    const std::string good = fixtures::EncodeJpeg({}, GradientOf(96, 64));
    std::mt19937 random(7);
    std::string noise(4000, '\0');
    for (char& b : noise)
        b = static_cast<char>(random());
    const struct
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        { "marker then noise", "\xFF\xD8\xFF" + noise },
        { "marker alone", "\xFF\xD8\xFF" },
        { "JFIF text, no JPEG", "JFIF" + noise },
        { "header only", good.substr(0, good.find("\xFF\xDA")) },
        { "past libjpeg's limit", WithSize(good, 65535, 65535) },
        { "3.6 gigapixels", WithSize(good, 60000, 60000) },
        { "zero width", WithSize(good, 0, 64) },
    };
    for (const auto& c : cases)
        EXPECT_FALSE(DecodeJpeg(c.bytes, 264, 400)) << c.what;
}

// Offset of the last scan (its SOS marker) and of the EOI that ends it.
std::pair<std::size_t, std::size_t> LastScan(const std::string& jpeg)
{
    return { jpeg.rfind("\xFF\xDA"), jpeg.rfind("\xFF\xD9") };
}

TEST(DecodeJpeg, BoundsTheNumberOfProgressiveScans)
{
    const std::string jpeg = fixtures::EncodeJpeg(
        { .width = 32, .height = 32, .colour = JpegColour::Gray, .progressive = true },
        GradientOf(32, 32));
    const auto [sos, eoi] = LastScan(jpeg);
    ASSERT_LT(sos, eoi);
    const std::string scan = jpeg.substr(sos, eoi - sos);
    for (const auto& [repeats, decodes] : { std::pair { 400, true }, { 1200, false } }) {
        std::string many = jpeg.substr(0, eoi);
        for (int i = 0; i < repeats; ++i)
            many += scan;
        many += "\xFF\xD9";
        EXPECT_EQ(DecodeJpeg(many, 264, 400).has_value(), decodes) << repeats << " extra scans";
    }
}

TEST(DecodeJpeg, SurvivesRandomDamage)
{
    const std::string originals[] = {
        fixtures::EncodeJpeg({ .width = 40, .height = 24 }, GradientOf(40, 24)),
        fixtures::EncodeJpeg(
            { .width = 40, .height = 24, .progressive = true }, GradientOf(40, 24)),
        fixtures::EncodeJpeg(
            { .width = 40, .height = 24, .colour = JpegColour::Ycck }, GradientOf(40, 24)),
    };
    std::mt19937 random(20240607);
    for (const std::string& original : originals) {
        for (int round = 0; round < 300; ++round) {
            std::string bytes = original;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips; ++i)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            if (random() % 4 == 0)
                bytes.resize(random() % bytes.size());
            const auto image = DecodeJpeg(bytes, 264, 400);
            if (image) {
                ASSERT_GT(image->width, 0);
                ASSERT_GE(
                    image->pixels.size(), static_cast<std::size_t>(image->stride) * image->height);
            }
        }
    }
}

} // namespace
