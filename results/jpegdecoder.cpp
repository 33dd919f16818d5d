#include "results/jpegdecoder.h"

#include "results/areascaler.h"

#include <csetjmp>
#include <new>
#include <vector>

// jpeglib.h uses FILE without declaring it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace results {

namespace {

// A corrupt progressive file can hold thousands of scans, each costing a pass over the whole
// picture; real encoders write a dozen or so.
constexpr int kMaxScans = 1000;
constexpr long long kMaxOutputPixels = 64LL << 20;
constexpr long long kMaxSourcePixels = 512LL << 20;
// A progressive picture keeps every coefficient of the full-size picture in memory; past this
// libjpeg would need a backing store, which the in-memory manager refuses with an error.
constexpr long kMaxDecoderMemory = 512L << 20;
constexpr int kMaxRowsPerRead = 16;

struct ErrorManager
{
    jpeg_error_mgr pub; // first, so libjpeg's pointer to it is also a pointer to us
    std::jmp_buf jump;
    int warnings;
};

[[noreturn]] void ExitByJump(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void CountWarning(j_common_ptr cinfo, int level)
{
    if (level < 0)
        ++reinterpret_cast<ErrorManager*>(cinfo->err)->warnings;
}

void StaySilent(j_common_ptr) { }

void LimitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor
        && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        ExitByJump(cinfo);
}

struct Request
{
    std::string_view data;
    int numerator = 0; // 0: choose from the panel size
    int panelWidth = 0;
    int panelHeight = 0;
    PixelSize target; // 0 x 0: keep the output size
};

// Everything with a destructor lives here, in the caller's frame, so that a longjmp out of
// libjpeg never skips one.
struct DecodeState
{
    std::optional<AreaScaler> scaler;
    std::vector<std::uint8_t> scanlines;
    std::vector<std::uint8_t> rgb;
    int components = 3;
    bool invertedCmyk = false;
    int warnings = 0;
};

bool PrepareOutput(DecodeState& state, const jpeg_decompress_struct& cinfo, PixelSize target,
    int rowsPerRead) noexcept
{
    try {
        const int width = static_cast<int>(cinfo.output_width);
        const int height = static_cast<int>(cinfo.output_height);
        if (target.width <= 0 || target.height <= 0)
            target = { width, height };
        state.scaler.emplace(width, height, target.width, target.height);
        state.scanlines.resize(static_cast<std::size_t>(width) * state.components * rowsPerRead);
        if (state.components == 4)
            state.rgb.resize(static_cast<std::size_t>(width) * 3);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Adobe applications write CMYK inverted (0 = full ink) and mark the file with an Adobe
// segment; without that segment the values are taken as plain ink amounts.
void FeedRow(DecodeState& state, const std::uint8_t* row, int width)
{
    if (state.components != 4) {
        state.scaler->AddRow(row);
        return;
    }
    std::uint8_t* out = state.rgb.data();
    for (int x = 0; x < width; ++x, row += 4, out += 3) {
        int c = row[0], m = row[1], y = row[2], k = row[3];
        if (!state.invertedCmyk) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
    }
    state.scaler->AddRow(state.rgb.data());
}

// libjpeg reports errors by longjmp: keep every local here trivially destructible.
bool RunDecoder(const Request& request, DecodeState& state, int& sourceWidth, int& sourceHeight)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ExitByJump;
    err.pub.emit_message = CountWarning;
    err.pub.output_message = StaySilent;
    err.warnings = 0;
    progress.progress_monitor = LimitScans;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(request.data.data()),
        static_cast<unsigned long>(request.data.size()));
    jpeg_read_header(&cinfo, TRUE);

    sourceWidth = static_cast<int>(cinfo.image_width);
    sourceHeight = static_cast<int>(cinfo.image_height);
    if (1LL * sourceWidth * sourceHeight > kMaxSourcePixels)
        ExitByJump(reinterpret_cast<j_common_ptr>(&cinfo));

    PixelSize target = request.target;
    int numerator = request.numerator;
    if (numerator == 0) {
        const ScaleChoice choice
            = ChooseScale(sourceWidth, sourceHeight, request.panelWidth, request.panelHeight);
        numerator = choice.numerator;
        target = choice.drawn;
    }
    cinfo.scale_num = static_cast<unsigned>(numerator);
    cinfo.scale_denom = kScaleDenominator;
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        cinfo.out_color_space = JCS_CMYK;
        state.components = 4;
        state.invertedCmyk = cinfo.saw_Adobe_marker;
    } else {
        cinfo.out_color_space = JCS_RGB; // grayscale is expanded by libjpeg
        state.components = 3;
    }
    jpeg_calc_output_dimensions(&cinfo);
    if (cinfo.output_components != state.components
        || 1LL * cinfo.output_width * cinfo.output_height > kMaxOutputPixels)
        ExitByJump(reinterpret_cast<j_common_ptr>(&cinfo));
    const int rowsPerRead = cinfo.rec_outbuf_height < 1 ? 1
        : cinfo.rec_outbuf_height > kMaxRowsPerRead     ? kMaxRowsPerRead
                                                        : cinfo.rec_outbuf_height;
    if (!PrepareOutput(state, cinfo, target, rowsPerRead))
        ExitByJump(reinterpret_cast<j_common_ptr>(&cinfo));

    jpeg_start_decompress(&cinfo);
    const std::size_t rowBytes = static_cast<std::size_t>(cinfo.output_width) * state.components;
    JSAMPROW rows[kMaxRowsPerRead];
    for (int i = 0; i < rowsPerRead; ++i)
        rows[i] = state.scanlines.data() + rowBytes * i;
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION got
            = jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(rowsPerRead));
        if (got == 0)
            break; // only a suspending source returns nothing, and ours never suspends
        for (JDIMENSION i = 0; i < got; ++i)
            FeedRow(state, rows[i], static_cast<int>(cinfo.output_width));
    }
    state.warnings = err.warnings;
    // Whatever follows the last scan line is of no use to a preview, so it is not read.
    jpeg_destroy_decompress(&cinfo);
    return true;
}

std::optional<DecodedImage> Decode(const Request& request)
{
    if (request.data.empty())
        return std::nullopt;
    DecodeState state;
    int sourceWidth = 0, sourceHeight = 0;
    if (!RunDecoder(request, state, sourceWidth, sourceHeight))
        return std::nullopt;
    DecodedImage image = state.scaler->Finish();
    image.warnings = state.warnings;
    image.sourceWidth = sourceWidth;
    image.sourceHeight = sourceHeight;
    return image;
}

} // namespace

ScaleChoice ChooseScale(int sourceWidth, int sourceHeight, int panelWidth, int panelHeight)
{
    const PixelSize drawn = DrawnSize(panelWidth, panelHeight, sourceWidth, sourceHeight);
    const auto scaled = [](int size, int n) {
        return static_cast<int>((1LL * size * n + kScaleDenominator - 1) / kScaleDenominator);
    };
    for (int n = 1; n < kScaleDenominator; ++n) {
        const int w = scaled(sourceWidth, n), h = scaled(sourceHeight, n);
        if (w >= drawn.width && h >= drawn.height)
            return { n, w, h, drawn };
    }
    return { kScaleDenominator, sourceWidth, sourceHeight, drawn };
}

std::optional<DecodedImage> DecodeJpeg(std::string_view data, int panelWidth, int panelHeight)
{
    return Decode({ data, 0, panelWidth, panelHeight, {} });
}

std::optional<DecodedImage> DecodeJpegAtScale(
    std::string_view data, int numerator, int targetWidth, int targetHeight)
{
    if (numerator < 1 || numerator > kScaleDenominator)
        return std::nullopt;
    return Decode({ data, numerator, 0, 0, { targetWidth, targetHeight } });
}

} // namespace results
