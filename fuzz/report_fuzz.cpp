#include "fuzz/fuzzinput.h"
#include "text/reportreader.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The texts a stream carries, worked out the plain way: every line ended by a newline that is a
// reportable text and short enough.
std::vector<std::string> ExpectedTexts(std::string_view stream)
{
    std::vector<std::string> texts;
    for (std::size_t newline; (newline = stream.find('\n')) != std::string_view::npos;) {
        const std::string_view line = stream.substr(0, newline);
        if (line.size() <= text::ReportReader::kMaxTextBytes && text::IsReportableText(line))
            texts.emplace_back(line);
        stream.remove_prefix(newline + 1);
    }
    return texts;
}

} // namespace

// Input: a piece length for the socket's reads, a count of 256-byte runs of filler and where in the
// stream they go (so that messages beyond the length limit cost few input bytes), then the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const std::size_t pieceLength = 1 + input.Byte() % 64;
    const std::size_t filler = std::size_t(input.Byte()) * 256;
    const std::size_t fillerAt = input.Byte();
    std::string stream(input.Rest());
    stream.insert(std::min(fillerAt, stream.size()), filler, 'x');

    std::vector<std::string> whole;
    text::ReportReader once;
    once.Feed(stream, whole);
    FUZZ_CHECK(once.pending() <= text::ReportReader::kMaxTextBytes);

    std::vector<std::string> pieces;
    text::ReportReader inPieces;
    for (std::size_t at = 0; at < stream.size(); at += pieceLength) {
        inPieces.Feed(std::string_view(stream).substr(at, pieceLength), pieces);
        FUZZ_CHECK(inPieces.pending() <= text::ReportReader::kMaxTextBytes);
    }
    FUZZ_CHECK(pieces == whole);
    FUZZ_CHECK(whole == ExpectedTexts(stream));
    return 0;
}
