#include "results/inversionverdict.h"
#include "results/repairpreview.h"
#include "scan/formattable.h"
#include "scan/signaturetable.h"
#include "tests/results/previewfixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace std::string_literals;

// A head as a file of the format begins, padded with the kind of bytes that follow in such files.
std::string Head(std::string start)
{
    std::string head = std::move(start);
    for (std::size_t i = head.size(); i < 330; ++i)
        head += static_cast<char>((i * 37) & 0x7F);
    return head;
}

std::string ZipWithFirstEntry(const std::string& name, const std::string& content = {})
{
    std::string local = "PK\3\4\x14\0\0\0\0\0"s + std::string(16, '\0');
    local += static_cast<char>(name.size());
    local += "\0\0\0"s;
    return local + name + content;
}

std::string Damage(std::string bytes) { return results::RestoredCopy(bytes); }

TEST(FormatTable, NamesTheFormatOfEveryRealHeadAfterTheDamage)
{
    const struct
    {
        std::string head;
        const char* format;
    } cases[] = {
        { "\xFF\xD8\xFF\xE1\x10\x00Exif\0\0"s, "jpeg" },
        { "\xFF\xD8\xFF\xE0\x00\x10JFIF\0"s, "jpeg" },
        { "GIF87a\x10\x00\x10\x00"s, "gif" },
        { "GIF89a\x10\x00\x10\x00"s, "gif" },
        { "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s, "png" },
        { "BM\x36\x10\0\0\0\0\0\0\x36\0\0\0"s, "bmp" },
        { "RIFF\x24\x10\0\0WEBPVP8 "s, "webp" },
        { "RIFF\x24\x10\0\0WAVEfmt "s, "wav" },
        { "RIFF\x24\x10\0\0AVI LIST"s, "avi" },
        { "II*\0\x08\0\0\0"s, "tiff" },
        { "MM\0*\0\0\0\x08"s, "tiff" },
        { "\0\0\1\0\1\0\x10\x10"s, "ico" },
        { "\0\0\0\x20"
          "ftypisom\0\0\2\0"s,
            "mp4" },
        { "\0\0\0\x14"
          "ftypqt  \0\0\2\0"s,
            "mov" },
        { "\0\0\0\x18"
          "ftypheic\0\0\0\0"s,
            "heic" },
        { "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0"s, "ole" },
        { ZipWithFirstEntry("readme.txt"), "zip" },
        { ZipWithFirstEntry("[Content_Types].xml"), "ooxml" },
        { ZipWithFirstEntry("mimetype", "application/vnd.oasis.opendocument.text"), "odf" },
        { "Rar!\x1A\x07\x00\xCF\x90\x73"s, "rar4" },
        { "Rar!\x1A\x07\x01\x00\x33\x92"s, "rar5" },
        { "7z\xBC\xAF\x27\x1C\0\x04"s, "7z" },
        { "%PDF-1.7\n%\xE2\xE3"s, "pdf" },
        { "\x1F\x8B\x08\0\0\0\0\0"s, "gzip" },
        { "BZh91AY&SY"s, "bzip2" },
        { "\xFD"
          "7zXZ\0\0\x04"s,
            "xz" },
        { "ID3\x04\0\0\0\0\x10\0"s, "mp3" },
        { "\xFF\xFB\x90\x64\0\0"s, "mp3" },
        { "FLV\x01\x05\0\0\0\x09"s, "flv" },
        { "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9"s, "asf" },
    };
    for (const auto& c : cases) {
        const std::string healthy = Head(c.head);
        const scan::FileFormat* found = scan::IdentifyFormat(healthy);
        ASSERT_NE(found, nullptr) << c.format;
        EXPECT_EQ(found->name, c.format);
        const results::InversionVerdict verdict = results::JudgeInversion(Damage(healthy));
        EXPECT_TRUE(verdict.inverted) << c.format;
        EXPECT_EQ(verdict.format, c.format);
        // Healthy, it is not inverted: its inverse is no format.
        EXPECT_FALSE(results::JudgeInversion(healthy).inverted) << c.format;
    }
}

TEST(FormatTable, CoversEverySignatureTheClassifierKnows)
{
    for (const scan::Signature& signature : scan::kSignatureTable) {
        const std::string head = Head(std::string(signature.bytes));
        EXPECT_NE(scan::IdentifyFormat(head), nullptr) << signature.format;
        EXPECT_TRUE(results::JudgeInversion(Damage(head)).inverted) << signature.format;
    }
}

TEST(FormatTable, PlainTextAndTooShortHeadsStayUnproven)
{
    for (const std::string& head : { Head("Dear reader, this is only text."), std::string(330, 'x'),
             std::string(), Damage("\x89PN"s), Damage("RIF"s) })
        EXPECT_FALSE(results::JudgeInversion(head).inverted) << head.substr(0, 12);
}

std::string PngHeader(std::uint32_t width, bool goodCrc)
{
    std::string png = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s;
    for (int shift : { 24, 16, 8, 0 })
        png += static_cast<char>(width >> shift);
    png += "\0\0\0\x10\x08\x02\0\0\0"s; // height 16, 8-bit RGB
    // CRC-32 of "IHDR" and its 13 bytes, worked out bit by bit.
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 12; i < png.size(); ++i) {
        crc ^= static_cast<unsigned char>(png[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc = ~crc ^ (goodCrc ? 0 : 1);
    for (int shift : { 24, 16, 8, 0 })
        png += static_cast<char>(crc >> shift);
    return png + "\0\0\0\0IEND\xAE\x42\x60\x82"s;
}

TEST(DecodeCheck, RestoredImagesDecodeAndBrokenOnesDoNot)
{
    using results::DecodeCheck;
    const auto pattern = [](int x, int y) { return fixtures::Gradient(x, y, 64, 48); };
    const std::string jpeg = fixtures::EncodeJpeg({ .width = 64, .height = 48 }, pattern);
    fixtures::GifRecipe gifRecipe { .screenWidth = 4,
        .screenHeight = 2,
        .palette = { { 0, 0, 0 }, { 255, 255, 255 } },
        .frames = { { .width = 4, .height = 2, .indices = { 0, 1, 0, 1, 1, 0, 1, 0 } } },
        .comment = std::string(120, 'c') };
    const std::string gif = fixtures::EncodeGif(gifRecipe);
    const struct
    {
        std::string file;
        const char* format;
        DecodeCheck expected;
    } cases[] = {
        { jpeg, "jpeg", DecodeCheck::Decodes },
        { jpeg.substr(0, 120), "jpeg", DecodeCheck::Fails }, // cut inside the header
        { gif, "gif", DecodeCheck::Decodes },
        { gif.substr(0, 110), "gif", DecodeCheck::Fails },
        { PngHeader(16, true), "png", DecodeCheck::Decodes },
        { PngHeader(16, false), "png", DecodeCheck::Fails },
    };
    for (const auto& c : cases) {
        const std::string damaged = fixtures::Damage(c.file);
        const results::InversionVerdict verdict = results::JudgeInversion(damaged.substr(0, 330));
        ASSERT_TRUE(verdict.inverted) << c.format;
        EXPECT_EQ(verdict.format, c.format);
        EXPECT_TRUE(verdict.wantsDecodeCheck);
        EXPECT_EQ(results::CheckRestoredDecodes(verdict.format, results::RestoredCopy(damaged)),
            c.expected)
            << c.format << " of " << c.file.size() << " bytes";
    }
    EXPECT_EQ(results::CheckRestoredDecodes("pdf", "%PDF"), DecodeCheck::NotApplicable);
}

} // namespace
