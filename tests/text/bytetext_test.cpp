#include "text/bytetext.h"

#include <gtest/gtest.h>

using text::CodePage;
using text::npos;

namespace {

// Real GBK bytes: 乗 is 81 5C (its second byte is "\"), 丄 is 81 41 (second byte "A"),
// 文件 is CE C4 BC FE.
const std::string kJou = "\x81\x5c";
const std::string kShang = "\x81\x41";
const std::string kWenjian = "\xce\xc4\xbc\xfe";

struct FindCase
{
    const char* what;
    CodePage cp;
    std::string text;
    std::string needle;
    std::size_t first;
    std::size_t last;
};

TEST(ByteText, FindAndFindLastStepOverMultiByteCharacters)
{
    const FindCase cases[] = {
        { "gbk: trail 5C is not a separator", CodePage::Gbk, "d:" + kJou + "x", "\\", npos, npos },
        { "gbk: only the real separator", CodePage::Gbk, "d:\\" + kJou + ".jpg", "\\", 2, 2 },
        { "gbk: trail 41 is not A", CodePage::Gbk, kShang + "A", "A", 2, 2 },
        { "gbk: pair not matched across characters", CodePage::Gbk, "\x81" + kWenjian, kWenjian,
          npos, npos },
        { "gbk: aligned pair found", CodePage::Gbk, "a" + kWenjian + kWenjian, kWenjian, 1, 5 },
        { "gbk: lone lead byte at the end", CodePage::Gbk, "ab\x81", "\x81", 2, 2 },
        { "utf8: ascii in text", CodePage::Utf8, "a/b/c", "/", 1, 3 },
        { "utf8: inside a character never matches", CodePage::Utf8, "\xe4\xb8\x80", "\xb8\x80",
          npos, npos },
        { "utf8: whole character", CodePage::Utf8, "x\xe4\xb8\x80y\xe4\xb8\x80", "\xe4\xb8\x80", 1,
          5 },
        { "utf8: stray bytes stand alone", CodePage::Utf8, "\xb8\x80\xff", "\x80", 1, 1 },
        { "utf8: truncated sequence", CodePage::Utf8, "\xe4\xb8", "\xb8", 1, 1 },
        { "empty needle", CodePage::Gbk, "abc", "", 0, 3 },
        { "not found", CodePage::Utf8, "abc", "d", npos, npos },
        { "needle longer than text", CodePage::Gbk, "ab", "abc", npos, npos },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::Find(c.text, c.needle, c.cp), c.first) << c.what;
        EXPECT_EQ(text::FindLast(c.text, c.needle, c.cp), c.last) << c.what;
    }
}

TEST(ByteText, FindFromAPositionSkipsEarlierMatches)
{
    EXPECT_EQ(text::Find("a.b.c", ".", CodePage::Gbk, 2), 3u);
    EXPECT_EQ(text::Find("a.b.c", ".", CodePage::Utf8, 2), 3u);
    EXPECT_EQ(text::Find("abc", "a", CodePage::Gbk, 4), npos);
}

TEST(ByteText, AsciiLowerLeavesMultiByteCharactersAlone)
{
    const struct
    {
        CodePage cp;
        std::string in, out;
    } cases[] = {
        { CodePage::Gbk, "C:\\PHOTO.JPG", "c:\\photo.jpg" },
        { CodePage::Gbk, kShang + "AB", kShang + "ab" },
        { CodePage::Gbk, kJou + "Z", kJou + "z" },
        { CodePage::Utf8, "\xc3\x84" "A\xe4\xb8\x80Z", "\xc3\x84" "a\xe4\xb8\x80z" },
        { CodePage::Utf8, "\xff" "AB", "\xff" "ab" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::AsciiLower(c.in, c.cp), c.out);
}

TEST(ByteText, CharLengthInBothCodePages)
{
    EXPECT_EQ(text::CharLength(kJou, 0, CodePage::Gbk), 2u);
    EXPECT_EQ(text::CharLength("\x81", 0, CodePage::Gbk), 1u);
    EXPECT_EQ(text::CharLength("\xf0\x9f\x98\x80", 0, CodePage::Utf8), 4u);
    EXPECT_EQ(text::CharLength("\xc0\x80", 0, CodePage::Utf8), 1u); // overlong
    EXPECT_EQ(text::CharLength("\xed\xa0\x80", 0, CodePage::Utf8), 1u); // surrogate
    EXPECT_EQ(text::NativeCodePage(), CodePage::Utf8);
}

} // namespace
