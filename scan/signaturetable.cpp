#include "scan/signaturetable.h"

namespace scan {

using namespace std::string_view_literals;

const std::array<Signature, kSignatureCount> kSignatureTable { {
    { "Rar!"sv, "RAR archive"sv },
    { "PK"sv, "ZIP archive and ZIP-based documents"sv },
    { "7z"sv, "7z archive"sv },
    { "RIFF"sv, "RIFF container (WAV, AVI)"sv },
    { "%PDF"sv, "PDF document"sv },
    { "\xFF\xD8\xFF\xE0"sv, "JPEG with a JFIF APP0 segment first"sv },
    { "\xD0\xCF"sv, "OLE compound document (DOC, XLS, PPT)"sv },
    { "FWS"sv, "uncompressed SWF"sv },
    { "ID3"sv, "MP3 with an ID3v2 tag"sv },
    { "["sv, "any file whose first byte is ["sv },
    { "FLV"sv, "FLV video"sv },
    { "CNW"sv, "CNW"sv },
    { "\x89PNG"sv, "PNG image"sv },
    { "\x30\x26\xB2\x75"sv, "ASF (WMA, WMV)"sv },
    { ".RMF"sv, "RealMedia"sv },
} };

bool BeginsWith(std::string_view head, const Signature& signature)
{
    return head.size() >= signature.bytes.size()
        && head.compare(0, signature.bytes.size(), signature.bytes) == 0;
}

} // namespace scan
