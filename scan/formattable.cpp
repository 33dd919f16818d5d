#include "scan/formattable.h"

#include <array>

namespace scan {

namespace {

using namespace std::string_view_literals;

// Order matters only where one entry's bytes begin another's: the longer or two-part entry comes
// first. Every signature that the classifier accepts as healthy has an entry here, so a verified
// head is always one the classifier would have passed had it not been damaged.
constexpr std::array kFormats {
    FileFormat { "jpeg"sv, { 0, "\xFF\xD8\xFF"sv } },
    FileFormat { "gif"sv, { 0, "GIF87a"sv } },
    FileFormat { "gif"sv, { 0, "GIF89a"sv } },
    FileFormat { "png"sv, { 0, "\x89PNG\r\n\x1A\n"sv } },
    FileFormat { "png"sv, { 0, "\x89PNG"sv } },
    FileFormat { "webp"sv, { 0, "RIFF"sv }, { 8, "WEBP"sv } },
    FileFormat { "wav"sv, { 0, "RIFF"sv }, { 8, "WAVE"sv } },
    FileFormat { "avi"sv, { 0, "RIFF"sv }, { 8, "AVI "sv } },
    FileFormat { "riff"sv, { 0, "RIFF"sv } },
    FileFormat { "bmp"sv, { 0, "BM"sv } },
    FileFormat { "tiff"sv, { 0, "II*\0"sv } },
    FileFormat { "tiff"sv, { 0, "MM\0*"sv } },
    FileFormat { "ico"sv, { 0, "\0\0\1\0"sv } },
    FileFormat { "heic"sv, { 4, "ftypheic"sv } },
    FileFormat { "heic"sv, { 4, "ftypheix"sv } },
    FileFormat { "heic"sv, { 4, "ftypmif1"sv } },
    FileFormat { "mov"sv, { 4, "ftypqt  "sv } },
    FileFormat { "mp4"sv, { 4, "ftyp"sv } },
    FileFormat { "ole"sv, { 0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv } },
    FileFormat { "ole"sv, { 0, "\xD0\xCF"sv } },
    // A ZIP document names its kind in the first entry of the archive, whose name starts at 30.
    FileFormat { "ooxml"sv, { 0, "PK\3\4"sv }, { 30, "[Content_Types].xml"sv } },
    FileFormat { "odf"sv, { 0, "PK\3\4"sv }, { 30, "mimetypeapplication/vnd.oasis.opendocument"sv } },
    FileFormat { "epub"sv, { 0, "PK\3\4"sv }, { 30, "mimetypeapplication/epub+zip"sv } },
    FileFormat { "jar"sv, { 0, "PK\3\4"sv }, { 30, "META-INF/"sv } },
    FileFormat { "zip"sv, { 0, "PK"sv } },
    FileFormat { "rar5"sv, { 0, "Rar!\x1A\x07\x01\x00"sv } },
    FileFormat { "rar4"sv, { 0, "Rar!\x1A\x07\x00"sv } },
    FileFormat { "rar"sv, { 0, "Rar!"sv } },
    FileFormat { "7z"sv, { 0, "7z\xBC\xAF\x27\x1C"sv } },
    FileFormat { "7z"sv, { 0, "7z"sv } },
    FileFormat { "pdf"sv, { 0, "%PDF"sv } },
    FileFormat { "gzip"sv, { 0, "\x1F\x8B"sv } },
    FileFormat { "bzip2"sv, { 0, "BZh"sv } },
    FileFormat { "xz"sv, { 0, "\xFD" "7zXZ\0"sv } },
    FileFormat { "mp3"sv, { 0, "ID3"sv } },
    // An MPEG audio frame without a tag: sync bits, then layer III of MPEG-1 or MPEG-2.
    FileFormat { "mp3"sv, { 0, "\xFF\xFB"sv } },
    FileFormat { "mp3"sv, { 0, "\xFF\xFA"sv } },
    FileFormat { "mp3"sv, { 0, "\xFF\xF3"sv } },
    FileFormat { "mp3"sv, { 0, "\xFF\xF2"sv } },
    FileFormat { "flv"sv, { 0, "FLV"sv } },
    FileFormat { "asf"sv, { 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv } },
    FileFormat { "asf"sv, { 0, "\x30\x26\xB2\x75"sv } },
    FileFormat { "swf"sv, { 0, "FWS"sv } },
    FileFormat { "swf"sv, { 0, "CWS"sv } },
    FileFormat { "swf"sv, { 0, "ZWS"sv } },
    FileFormat { "realmedia"sv, { 0, ".RMF"sv } },
    FileFormat { "rtf"sv, { 0, "{\\rtf"sv } },
    FileFormat { "cnw"sv, { 0, "CNW"sv } },
    FileFormat { "bracket-text"sv, { 0, "["sv } },
};

bool Carries(std::string_view head, const HeadPart& part)
{
    return part.bytes.empty()
        || (head.size() >= part.offset + part.bytes.size()
            && head.compare(part.offset, part.bytes.size(), part.bytes) == 0);
}

} // namespace

std::span<const FileFormat> FormatTable() { return kFormats; }

const FileFormat* IdentifyFormat(std::string_view head)
{
    for (const FileFormat& format : kFormats)
        if (Carries(head, format.first) && Carries(head, format.second))
            return &format;
    return nullptr;
}

} // namespace scan
