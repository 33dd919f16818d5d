#include "previewfixtures.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

// jpeglib.h uses FILE without declaring it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace fixtures {

Rgb Gradient(int x, int y, int width, int height)
{
    const int r = x * 255 / std::max(width - 1, 1);
    const int g = y * 255 / std::max(height - 1, 1);
    return { r, g, (r + g) / 2 };
}

std::string EncodeJpeg(const JpegRecipe& recipe, const Pattern& pattern)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);

    const bool cmyk = recipe.colour == JpegColour::CmykAdobe
        || recipe.colour == JpegColour::CmykPlain || recipe.colour == JpegColour::Ycck;
    cinfo.image_width = static_cast<JDIMENSION>(recipe.width);
    cinfo.image_height = static_cast<JDIMENSION>(recipe.height);
    cinfo.input_components = cmyk ? 4 : recipe.colour == JpegColour::Gray ? 1 : 3;
    cinfo.in_color_space = cmyk             ? JCS_CMYK
        : recipe.colour == JpegColour::Gray ? JCS_GRAYSCALE
                                            : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (recipe.colour == JpegColour::Ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (recipe.colour == JpegColour::CmykPlain)
        cinfo.write_Adobe_marker = FALSE;
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    if (recipe.progressive)
        jpeg_simple_progression(&cinfo);
    if (recipe.exif)
        cinfo.write_JFIF_header = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    if (recipe.exif) {
        // "Exif\0\0", then a little-endian TIFF header pointing at an empty directory.
        static const unsigned char kExif[]
            = { 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, kExif, sizeof kExif);
    }

    std::vector<unsigned char> row(static_cast<std::size_t>(recipe.width) * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < recipe.width; ++x) {
            const Rgb c = pattern(x, y);
            unsigned char* px = &row[static_cast<std::size_t>(x) * cinfo.input_components];
            if (recipe.colour == JpegColour::Gray) {
                px[0] = static_cast<unsigned char>(c[0]);
            } else if (cmyk) {
                // Black carries the darkness shared by all three channels.
                const int k = 255 - std::max({ c[0], c[1], c[2] });
                const int scale = std::max(255 - k, 1);
                int ink[4] = { (255 - c[0] - k) * 255 / scale, (255 - c[1] - k) * 255 / scale,
                    (255 - c[2] - k) * 255 / scale, k };
                for (int i = 0; i < 4; ++i)
                    px[i] = static_cast<unsigned char>(
                        recipe.colour == JpegColour::CmykPlain ? ink[i] : 255 - ink[i]);
            } else {
                for (int i = 0; i < 3; ++i)
                    px[i] = static_cast<unsigned char>(c[i]);
            }
        }
        JSAMPROW rows[] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

std::string Damage(std::string bytes)
{
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 100); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    return bytes;
}

Rgb PixelAt(const results::DecodedImage& image, int x, int y)
{
    const std::uint8_t* px = &image.pixels[static_cast<std::size_t>(y) * image.stride
        + static_cast<std::size_t>(x) * 3];
    return { px[0], px[1], px[2] };
}

int MaxDifference(const results::DecodedImage& image, const Pattern& pattern)
{
    int worst = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Rgb got = PixelAt(image, x, y), want = pattern(x, y);
            for (int i = 0; i < 3; ++i)
                worst = std::max(worst, std::abs(got[i] - want[i]));
        }
    return worst;
}

namespace {

int AppendToString(GifFileType* gif, const GifByteType* bytes, int length)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

void Check(int status, const char* what)
{
    if (status != GIF_OK)
        throw std::runtime_error(what);
}

} // namespace

std::string EncodeGif(const GifRecipe& recipe)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToString, &error);
    if (gif == nullptr)
        throw std::runtime_error("EGifOpen");
    std::vector<GifColorType> colours;
    for (const Rgb& c : recipe.palette)
        colours.push_back({ static_cast<GifByteType>(c[0]), static_cast<GifByteType>(c[1]),
            static_cast<GifByteType>(c[2]) });
    ColorMapObject* map = colours.empty()
        ? nullptr
        : GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    EGifSetGifVersion(gif, recipe.gif89);
    Check(EGifPutScreenDesc(
              gif, recipe.screenWidth, recipe.screenHeight, map ? map->BitsPerPixel : 1, 0, map),
        "screen");
    if (!recipe.comment.empty())
        Check(EGifPutComment(gif, recipe.comment.c_str()), "comment");
    for (const GifFrame& f : recipe.frames) {
        if (f.transparent >= 0) {
            GraphicsControlBlock gcb {};
            gcb.DelayTime = 0;
            gcb.TransparentColor = f.transparent;
            GifByteType block[4];
            const std::size_t n = EGifGCBToExtension(&gcb, block);
            Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), block), "gcb");
        }
        Check(
            EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, nullptr), "desc");
        // The encoder takes rows in stream order: interlaced frames go out pass by pass.
        std::vector<int> order;
        if (f.interlace) {
            for (const auto& [start, step] : { std::pair { 0, 8 }, { 4, 8 }, { 2, 4 }, { 1, 2 } })
                for (int y = start; y < f.height; y += step)
                    order.push_back(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            auto* line
                = const_cast<GifPixelType*>(&f.indices[static_cast<std::size_t>(y) * f.width]);
            Check(EGifPutLine(gif, line, f.width), "line");
        }
    }
    if (map)
        GifFreeMapObject(map);
    Check(EGifCloseFile(gif, &error), "close");
    // giflib decides the version itself from what it has seen by the time the header is written;
    // the tests need exactly the one they ask for.
    out.replace(0, 6, recipe.gif89 ? "GIF89a" : "GIF87a");
    return out;
}

} // namespace fixtures
