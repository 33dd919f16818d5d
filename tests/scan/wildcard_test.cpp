#include "scan/wildcard.h"

#include <gtest/gtest.h>

namespace {

TEST(Wildcard, FollowsTheWindowsRules)
{
    const struct
    {
        const char* pattern;
        std::string name;
        bool matches;
    } cases[] = {
        { "*.*", "readme", true },
        { "*.*", "a.b.c", true },
        { "*.*", ".hidden", true },
        { "*", "anything", true },
        { "*.jpg", "PHOTO.JPG", true },
        { "*.JPG", "photo.jpg", true },
        { "*.jpg", "photo.jpeg", false },
        { "*.jpg", "a.jpg.txt", false },
        { "*.doc", "doc", false },
        { "photo.*", "photo", true },
        { "photo.*", "photos", false },
        { "photo.*", "photo.x.y", true },
        { "?.txt", "a.txt", true },
        { "?.txt", "ab.txt", false },
        { "?.txt", ".txt", false },
        { "?.txt", "照.txt", true },
        { "照?.jpg", "照片.jpg", true },
        { "照*", "照片.jpg", true },
        { "照*", "片照.jpg", false },
        { "a*b*c", "aXbYc", true },
        { "a*b*c", "aXbY", false },
        { "a*b*c", "abcbc", true },
        { "*a", "banana", true },
        { "*.jpg", "\xFF\xFE.jpg", true },
        { "??.jpg", "\xFF\xFE.jpg", true },
        { "a?c", "a.c", true },
        { "", "a", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(scan::WildcardMatch(c.pattern, c.name, text::CodePage::Utf8), c.matches)
            << '"' << c.pattern << "\" on \"" << c.name << '"';
}

TEST(Wildcard, HostilePatternsFinish)
{
    const std::string name(255, 'a');
    std::string pattern;
    for (int i = 0; i < 60; ++i)
        pattern += "*a";
    EXPECT_FALSE(scan::WildcardMatch(pattern + "b", name));
    EXPECT_TRUE(scan::WildcardMatch(pattern, name));
}

} // namespace
