#include "previewfixtures.h"
#include "results/gifdecoder.h"
#include "results/repairpreview.h"

#include <gtest/gtest.h>

#include <random>

using namespace results;
using fixtures::GifFrame;
using fixtures::GifRecipe;
using fixtures::Rgb;

namespace {

const std::vector<Rgb> kPalette = { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 }, { 10, 20, 30 } };
const Rgb kWhite { 255, 255, 255 };

// Index (x + 2y) mod 4: every row differs from its neighbours, so a misplaced row shows.
GifFrame Frame(int left, int top, int width, int height)
{
    GifFrame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    return f;
}

GifRecipe Gif(
    bool gif89, int width, int height, std::vector<Rgb> palette, std::vector<GifFrame> frames)
{
    GifRecipe r;
    r.gif89 = gif89;
    r.screenWidth = width;
    r.screenHeight = height;
    r.palette = std::move(palette);
    r.frames = std::move(frames);
    return r;
}

GifFrame Checker(int left, int top, int width, int height)
{
    GifFrame f = Frame(left, top, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.indices.push_back(static_cast<std::uint8_t>((x + 2 * y) % 4));
    return f;
}

Rgb CheckerAt(int x, int y) { return kPalette[(x + 2 * y) % 4]; }

TEST(DecodeGif, FirstFrameOnAWhiteScreen)
{
    GifFrame interlaced = Checker(0, 0, 24, 20);
    interlaced.interlace = true;
    GifFrame inset = Checker(4, 2, 8, 6);
    GifFrame transparent = Checker(0, 0, 24, 20);
    transparent.transparent = 3;
    GifFrame second = Checker(0, 0, 24, 20);
    std::fill(second.indices.begin(), second.indices.end(), 3);

    const struct
    {
        const char* what;
        GifRecipe recipe;
        std::function<Rgb(int, int)> want;
    } cases[] = {
        { "GIF87a", Gif(false, 24, 20, kPalette, { Checker(0, 0, 24, 20) }), CheckerAt },
        { "GIF89a", Gif(true, 24, 20, kPalette, { Checker(0, 0, 24, 20) }), CheckerAt },
        { "interlaced rows land in place", Gif(true, 24, 20, kPalette, { interlaced }), CheckerAt },
        { "frame inside a larger screen", Gif(true, 24, 20, kPalette, { inset }),
            [](int x, int y) {
                const bool inside = x >= 4 && x < 12 && y >= 2 && y < 8;
                return inside ? CheckerAt(x - 4, y - 2) : kWhite;
            } },
        { "transparent index shows white", Gif(true, 24, 20, kPalette, { transparent }),
            [](int x, int y) { return (x + 2 * y) % 4 == 3 ? kWhite : CheckerAt(x, y); } },
        { "only the first frame", Gif(true, 24, 20, kPalette, { Checker(0, 0, 24, 20), second }),
            CheckerAt },
        { "zero screen takes the frame's extent",
            Gif(true, 0, 0, kPalette, { Checker(0, 0, 24, 20) }), CheckerAt },
    };
    for (const auto& c : cases) {
        const auto image = DecodeGif(fixtures::EncodeGif(c.recipe), 264, 400);
        ASSERT_TRUE(image) << c.what;
        ASSERT_EQ(image->width, 24) << c.what;
        ASSERT_EQ(image->height, 20) << c.what;
        EXPECT_EQ(image->warnings, 0) << c.what;
        EXPECT_EQ(fixtures::MaxDifference(*image, c.want), 0) << c.what;
    }
}

TEST(DecodeGif, DamagedGifComesBackThroughThePreview)
{
    for (bool gif89 : { false, true }) {
        GifRecipe recipe = Gif(gif89, 24, 20, kPalette, { Checker(0, 0, 24, 20) });
        recipe.comment = std::string(200, 'c'); // past the minimum size
        const std::string bytes = fixtures::EncodeGif(recipe);
        ASSERT_GE(bytes.size(), kMinimumPreviewSize);
        const PreviewResult r = PreviewRestored(fixtures::Damage(bytes), 264, 400);
        ASSERT_EQ(r.outcome, PreviewOutcome::Image) << gif89;
        EXPECT_EQ(r.kind, PreviewKind::Gif);
        EXPECT_EQ(fixtures::MaxDifference(*r.image, CheckerAt), 0) << gif89;
    }
}

TEST(DecodeGif, LargeScreenShrinksToThePanel)
{
    GifFrame solid = Frame(0, 0, 528, 800);
    solid.indices.assign(528 * 800, 1);
    const auto image
        = DecodeGif(fixtures::EncodeGif(Gif(true, 528, 800, kPalette, { solid })), 264, 400);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 264);
    EXPECT_EQ(image->height, 400);
    EXPECT_EQ(image->sourceWidth, 528);
    EXPECT_EQ(fixtures::MaxDifference(*image, [](int, int) { return kPalette[1]; }), 0);
}

TEST(DecodeGif, TruncatedFrameKeepsItsFirstRows)
{
    // Noise compresses poorly, so the frame's data spans many sub-blocks and a cut leaves whole
    // rows.
    GifFrame frame = Frame(0, 0, 64, 64);
    std::mt19937 random(3);
    for (int i = 0; i < 64 * 64; ++i)
        frame.indices.push_back(static_cast<std::uint8_t>(random() % 4));
    const std::string bytes = fixtures::EncodeGif(Gif(true, 64, 64, kPalette, { frame }));
    const auto image = DecodeGif(bytes.substr(0, bytes.size() / 2), 264, 400);
    ASSERT_TRUE(image);
    EXPECT_GT(image->warnings, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(fixtures::PixelAt(*image, x, y), kPalette[frame.indices[y * 64 + x]]);
    EXPECT_EQ(fixtures::PixelAt(*image, 5, 63), kWhite);
}

TEST(DecodeGif, RefusesWhatCannotBeShown)
{
    std::string noFrame = fixtures::EncodeGif(Gif(true, 24, 20, kPalette, {}));
    // giflib will not write a frame without colours: drop the global table from a written file.
    std::string withoutMap
        = fixtures::EncodeGif(Gif(true, 24, 20, kPalette, { Checker(0, 0, 24, 20) }));
    withoutMap[10] = static_cast<char>(withoutMap[10] & 0x7F);
    withoutMap.erase(13, 3 * kPalette.size());
    const struct
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        { "huge logical screen",
            fixtures::EncodeGif(Gif(true, 20000, 100, kPalette, { Checker(0, 0, 4, 4) })) },
        { "huge frame",
            fixtures::EncodeGif(Gif(true, 0, 0, kPalette, { Checker(0, 0, 16385, 1) })) },
        { "no frame", noFrame },
        { "no colour table", withoutMap },
        { "header alone", "GIF89a" },
        { "empty", "" },
    };
    for (const auto& c : cases)
        EXPECT_FALSE(DecodeGif(c.bytes, 264, 400)) << c.what;
}

TEST(DecodeGif, SurvivesRandomDamage)
{
    GifFrame interlaced = Checker(2, 1, 20, 17);
    interlaced.interlace = true;
    interlaced.transparent = 2;
    const std::string original = fixtures::EncodeGif(Gif(true, 24, 20, kPalette, { interlaced }));
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = original;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        const auto image = DecodeGif(bytes, 264, 400);
        if (image) {
            ASSERT_GE(
                image->pixels.size(), static_cast<std::size_t>(image->stride) * image->height);
            ASSERT_LE(image->width, 264);
        }
    }
}

} // namespace
