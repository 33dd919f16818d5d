#include "results/repairpreview.h"

#include "results/gifdecoder.h"
#include "results/jpegdecoder.h"

#include <algorithm>

namespace results {

std::string RestoredCopy(std::string_view fileBytes)
{
    std::string copy(fileBytes);
    const std::size_t run = std::min(copy.size(), kInvertedRun);
    for (std::size_t i = 0; i < run; ++i)
        copy[i] = static_cast<char>(static_cast<unsigned char>(copy[i]) ^ kInversionMask);
    return copy;
}

PreviewKind ClassifyRestored(std::string_view restored)
{
    if (restored.starts_with("\xFF\xD8\xFF"))
        return PreviewKind::Jpeg;
    if (restored.starts_with("GIF87a") || restored.starts_with("GIF89a"))
        return PreviewKind::Gif;
    if (restored.find("JFIF") != std::string_view::npos)
        return PreviewKind::Jpeg;
    return PreviewKind::None;
}

PreviewResult PreviewRestored(std::string_view fileBytes, int panelWidth, int panelHeight)
{
    PreviewResult result;
    if (fileBytes.size() < kMinimumPreviewSize) {
        result.outcome = PreviewOutcome::TooSmall;
        return result;
    }
    if (fileBytes.size() > kMaxPreviewFileSize) {
        result.outcome = PreviewOutcome::TooLarge;
        return result;
    }
    const std::string restored = RestoredCopy(fileBytes);
    result.kind = ClassifyRestored(restored);
    switch (result.kind) {
    case PreviewKind::Jpeg:
        result.image = DecodeJpeg(restored, panelWidth, panelHeight);
        break;
    case PreviewKind::Gif:
        result.image = DecodeGif(restored, panelWidth, panelHeight);
        break;
    case PreviewKind::None:
        result.outcome = PreviewOutcome::NotAnImage;
        return result;
    }
    result.outcome = result.image ? PreviewOutcome::Image : PreviewOutcome::Undecodable;
    return result;
}

} // namespace results
