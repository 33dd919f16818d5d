#include "results/gifdecoder.h"

#include "results/areascaler.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace results {

namespace {

struct MemoryReader
{
    std::string_view data;
    std::size_t offset = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t n = std::min(
        static_cast<std::size_t>(std::max(wanted, 0)), reader->data.size() - reader->offset);
    std::memcpy(out, reader->data.data() + reader->offset, n);
    reader->offset += n;
    return static_cast<int>(n);
}

struct GifCloser
{
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// The transparent index of the graphic control block that precedes the first frame, or -1.
// Extensions other than that block are stepped over.
bool SkipExtension(GifFileType* gif, int& transparent)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
    }
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Lays the frame's rows onto the white screen. Rows the data never delivered stay white and
// count as one warning, like the grey that libjpeg fills a truncated JPEG with.
void DrawFrame(
    GifFileType* gif, const ColorMapObject& colours, int transparent, DecodedImage& screen)
{
    const GifImageDesc& desc = gif->Image;
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    const auto drawRow = [&](int y) {
        const int sy = desc.Top + y;
        if (sy < 0 || sy >= screen.height)
            return;
        std::uint8_t* out = &screen.pixels[static_cast<std::size_t>(sy) * screen.stride];
        for (int x = 0; x < desc.Width; ++x) {
            const int sx = desc.Left + x;
            const int index = line[x];
            if (sx < 0 || sx >= screen.width || index == transparent)
                continue;
            // An index past the table is drawn black rather than read out of bounds.
            const GifColorType c
                = index < colours.ColorCount ? colours.Colors[index] : GifColorType { 0, 0, 0 };
            out[3 * sx] = c.Red;
            out[3 * sx + 1] = c.Green;
            out[3 * sx + 2] = c.Blue;
        }
    };
    static constexpr int kPassStart[] = { 0, 4, 2, 1 };
    static constexpr int kPassStep[] = { 8, 8, 4, 2 };
    const int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = desc.Interlace ? kPassStart[pass] : 0;
        const int step = desc.Interlace ? kPassStep[pass] : 1;
        for (int y = start; y < desc.Height; y += step) {
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) {
                ++screen.warnings;
                return;
            }
            drawRow(y);
        }
    }
}

std::optional<DecodedImage> DecodeFirstFrame(GifFileType* gif, int panelWidth, int panelHeight)
{
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return std::nullopt;
        if (record == EXTENSION_RECORD_TYPE) {
            if (!SkipExtension(gif, transparent))
                return std::nullopt;
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            return std::nullopt; // the trailer, or garbage, before any frame
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return std::nullopt;
        break;
    }

    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > kMaxGifSide
        || desc.Height > kMaxGifSide)
        return std::nullopt;
    const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (colours == nullptr || colours->Colors == nullptr)
        return std::nullopt;
    // Some writers leave the screen 0 x 0; the frame's extent stands in for it then.
    int width = gif->SWidth, height = gif->SHeight;
    if (width <= 0 || height <= 0) {
        width = desc.Left + desc.Width;
        height = desc.Top + desc.Height;
    }
    if (width > kMaxGifSide || height > kMaxGifSide)
        return std::nullopt;

    DecodedImage screen = WhiteImage(width, height, width, height);
    DrawFrame(gif, *colours, transparent, screen);

    const PixelSize drawn = DrawnSize(panelWidth, panelHeight, width, height);
    if (drawn == PixelSize { width, height })
        return screen;
    return ScaleImage(screen, drawn.width, drawn.height);
}

} // namespace

std::optional<DecodedImage> DecodeGif(std::string_view data, int panelWidth, int panelHeight)
{
    MemoryReader reader { data };
    int error = 0;
    GifHandle gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif)
        return std::nullopt;
    // The screen size is known from the header alone: refuse before allocating anything for it.
    if (gif->SWidth > kMaxGifSide || gif->SHeight > kMaxGifSide)
        return std::nullopt;
    try {
        return DecodeFirstFrame(gif.get(), panelWidth, panelHeight);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace results
