#include "text/reportreader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using text::ReportReader;

std::vector<std::string> Read(const std::vector<std::string>& pieces)
{
    ReportReader reader;
    std::vector<std::string> texts;
    for (const std::string& piece : pieces)
        reader.Feed(piece, texts);
    return texts;
}

TEST(ReportReader, SplitsAtNewlinesAndDropsWhatMayNotBeListed)
{
    const std::string longest(ReportReader::kMaxTextBytes, 'x');
    const std::string tooLong(ReportReader::kMaxTextBytes + 1, 'y');
    const struct
    {
        const char* what;
        std::vector<std::string> pieces;
        std::vector<std::string> texts;
    } cases[] = {
        { "two texts", { "a\nb\n" }, { "a", "b" } },
        { "split anywhere", { "pa", "th\nne", "xt\n" }, { "path", "next" } },
        { "no newline yet", { "waiting" }, {} },
        { "empty", { "\n\nx\n" }, { "x" } },
        { "NUL", { std::string("a\0b\nc\n", 6) }, { "c" } },
        { "carriage return kept", { "a\r\n" }, { "a\r" } },
        { "GBK is not UTF-8", { "\xB2\xE2\n" }, {} },
        { "UTF-8 kept", { "进程\n" }, { "进程" } },
        { "longest", { longest + "\n" }, { longest } },
        { "longest in pieces", { longest.substr(0, 10), longest.substr(10) + "\nz\n" },
            { longest, "z" } },
        { "one byte too long", { tooLong + "\nafter\n" }, { "after" } },
        { "too long across pieces",
            { tooLong.substr(0, 20000), tooLong.substr(20000), "more\nafter\n" }, { "after" } },
        { "long tail without newline", { tooLong + tooLong }, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.pieces), c.texts) << c.what;
}

TEST(ReportReader, HoldsNoMoreThanOneTextWhileSkipping)
{
    ReportReader reader;
    std::vector<std::string> texts;
    for (int i = 0; i < 100; ++i)
        reader.Feed(std::string(4096, 'q'), texts);
    EXPECT_EQ(reader.pending(), 0u);
    reader.Feed("\nok\n", texts);
    EXPECT_EQ(texts, std::vector<std::string> { "ok" });
}

TEST(ReportReader, Utf8IsCheckedStrictly)
{
    const struct
    {
        std::string bytes;
        bool valid;
    } cases[] = {
        { "plain", true },
        { "\xC2\x80", true }, // U+0080
        { "\xDF\xBF", true }, // U+07FF
        { "\xE0\xA0\x80", true }, // U+0800
        { "\xED\x9F\xBF", true }, // U+D7FF
        { "\xEF\xBF\xBF", true }, // U+FFFF
        { "\xF0\x90\x80\x80", true }, // U+10000
        { "\xF4\x8F\xBF\xBF", true }, // U+10FFFF
        { "\xC0\xAF", false }, // overlong "/"
        { "\xC1\xBF", false },
        { "\xE0\x9F\xBF", false }, // overlong
        { "\xED\xA0\x80", false }, // surrogate
        { "\xF0\x8F\xBF\xBF", false }, // overlong
        { "\xF4\x90\x80\x80", false }, // above U+10FFFF
        { "\xF5\x80\x80\x80", false },
        { "\x80", false }, // lone continuation
        { "\xE4\xBD", false }, // cut short
        { "\xE4\x28\xA0", false }, // bad continuation
        { "a\xFF", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
}

} // namespace
