#pragma once

#include "results/decodedimage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

using Rgb = std::array<int, 3>;
using Pattern = std::function<Rgb(int x, int y)>;

// A smooth picture that survives JPEG compression within a few levels.
Rgb Gradient(int x, int y, int width, int height);

enum class JpegColour
{
    Rgb, // written as YCbCr with a JFIF segment
    Gray,
    CmykAdobe, // inverted CMYK with an Adobe segment, as Adobe applications write it
    CmykPlain, // plain ink amounts, no Adobe segment
    Ycck,
};

struct JpegRecipe
{
    int width = 96;
    int height = 64;
    JpegColour colour = JpegColour::Rgb;
    bool progressive = false;
    bool exif = false; // an Exif APP1 segment first and no JFIF segment
    int quality = 95;
};

std::string EncodeJpeg(const JpegRecipe& recipe, const Pattern& pattern);

// The virus's damage: the first 100 bytes inverted.
std::string Damage(std::string bytes);

// Largest per-channel difference between a decoded picture and the expected pattern.
int MaxDifference(const results::DecodedImage& image, const Pattern& pattern);

struct GifFrame
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlace = false;
    int transparent = -1;
    std::vector<std::uint8_t> indices; // width * height, row-major in picture order
};

struct GifRecipe
{
    bool gif89 = true;
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<Rgb> palette; // a power of two in size, at most 256; empty: no colour table
    std::vector<GifFrame> frames;
    std::string comment; // written first when not empty, to pad a file past the minimum size
};

std::string EncodeGif(const GifRecipe& recipe);

Rgb PixelAt(const results::DecodedImage& image, int x, int y);

} // namespace fixtures
