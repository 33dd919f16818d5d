#include "platform/posix/posixplatform.h"
#include "scan/classifier.h"
#include "scan/signaturetable.h"
#include "tests/support/temptree.h"

#include <gtest/gtest.h>

using scan::ClassifyFile;
using scan::FileExtension;
using scan::IsHeaderUnrecognised;

namespace {

std::string Inverted(std::string bytes)
{
    for (std::size_t i = 0; i < 100 && i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    return bytes;
}

std::string Padded(std::string head, std::size_t size = 400, char filler = 'x')
{
    head.resize(size, filler);
    return head;
}

const std::string kJfif
    = Padded(std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01", 12), 400, '\0');
const std::string kDoc = Padded(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), 1024, '\0');

TEST(Classifier, JfifMarkerCountsOnlyInsideTheWindow)
{
    for (const auto& [at, healthy] : { std::pair { 0, true }, { 220, true }, { 221, false } }) {
        std::string head(330, 'x');
        head.replace(static_cast<std::size_t>(at), 4, "JFIF");
        EXPECT_EQ(IsHeaderUnrecognised(head), !healthy) << "JFIF at " << at;
    }
}

TEST(Classifier, EverySignatureMarksAHealthyHeadAndNothingElseDoes)
{
    ASSERT_EQ(scan::kSignatureTable.size(), 15u);
    for (const auto& signature : scan::kSignatureTable) {
        EXPECT_FALSE(IsHeaderUnrecognised(Padded(std::string(signature.bytes))))
            << signature.format;
        // A head cut short of its signature matches nothing.
        EXPECT_TRUE(IsHeaderUnrecognised(signature.bytes.substr(0, signature.bytes.size() - 1)))
            << signature.format;
    }
    const struct
    {
        const char* what;
        std::string head;
        bool unrecognised;
    } cases[] = {
        { "empty head", "", true },
        { "JFIF JPEG", kJfif, false },
        { "inverted JFIF JPEG", Inverted(kJfif), true },
        { "Exif JPEG",
            Padded(std::string("\xFF\xD8\xFF\xE1\x00\x20"
                               "Exif\0\0",
                       12),
                400, '\0'),
            true },
        { "DOC", kDoc, false },
        { "inverted DOC", Inverted(kDoc), true },
        { "GIF", Padded("GIF89a"), true },
        { "BMP", Padded("BM"), true },
        { "plain text", Padded("Hello, world"), true },
        { "ini text", Padded("[section]"), false },
        { "case matters", Padded("rar!"), true },
        { "PK anything", Padded("PK\x03\x04"), false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsHeaderUnrecognised(c.head), c.unrecognised) << c.what;
}

TEST(Classifier, FileExtensionTakesTheLastDotOfTheName)
{
    const struct
    {
        std::string path;
        std::string extension;
    } cases[] = {
        { "/d/photo.JPG", "JPG" },
        { "/d/archive.tar.gz", "gz" },
        { "/d/readme", "" },
        { "/d/notes.", "" },
        { "/a.b/readme", "" },
        { "/d/.bashrc", "bashrc" },
        { "no-separator.txt", "" },
        { "/d/", "" },
        { "", "" },
        { "/d/照片.jpeg", "jpeg" },
        { "/d/x.扩展", "扩展" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileExtension(c.path, '/', text::CodePage::Utf8), c.extension) << c.path;

    // In GBK a trailing byte may be 0x5C, the backslash; it must not be taken for a separator.
    const std::string gbk = "D:\\x\\a.b\x95\x5C"
                            "name";
    EXPECT_EQ(FileExtension(gbk, '\\', text::CodePage::Gbk),
        "b\x95\x5C"
        "name");
    EXPECT_EQ(FileExtension("D:\\a.b\\readme", '\\', text::CodePage::Gbk), "");
}

TEST(Classifier, ListsOnlyExaminedFilesWithoutASignature)
{
    testsupport::TempTree tree;
    platform::posix::PosixPlatform platform;
    const std::string text100 = Padded("plain text ", 100);
    const struct
    {
        std::string name;
        std::string content;
        bool listed;
    } cases[] = {
        { "short.txt", Padded("plain", 99), false },
        { "exact.txt", text100, true },
        { "page.htm", Padded("<html>"), true },
        { "intact.doc", kDoc, false },
        { "damaged.doc", Inverted(kDoc), true },
        { "intact.jpg", kJfif, false },
        { "damaged.jpg", Inverted(kJfif), true },
        { "photo.JPG", Inverted(kJfif), true },
        { "photo.jpeg", Inverted(kJfif), true },
        { "anything.doc", Padded("PK\x03\x04"), false },
        { "image.gif", Padded("GIF89a"), true },
        { "image.bmp", Padded("BM"), true },
        { "setup.EXE", text100, false },
        { "main.c", text100, false },
        { "odd.ys", text100, false }, // a piece of the excluded list
        { "lib.so", text100, true },
        { "readme", text100, false },
        { "notes.", text100, false },
        { "a.b/readme", text100, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyFile(platform, tree.Write(c.name, c.content)), c.listed) << c.name;
    EXPECT_FALSE(ClassifyFile(platform, tree.rootText() + "missing.txt"));
    EXPECT_FALSE(ClassifyFile(platform, tree.MakeDir("folder.txt")));
}

} // namespace
