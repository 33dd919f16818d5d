#include "platform/droppedpath.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

TEST(DroppedPath, OnlyAPlainFolderGetsTheSeparator)
{
    const struct
    {
        std::uint32_t attributes;
        const char* path;
        const char* expected;
    } cases[] = {
        { 0x10, "/media/usb", "/media/usb/" },
        { 0x10, "/media/usb/", "/media/usb/" },
        { 0x10, "/", "/" },
        { 0x10, "", "" },
        { 0x2010, "/mnt/d/x", "/mnt/d/x/" }, // bits outside the five that count are ignored
        { 0x12, "/mnt/d/hidden", "/mnt/d/hidden" },
        { 0x30, "/mnt/d/archived", "/mnt/d/archived" },
        { 0x80, "/mnt/d/file.jpg", "/mnt/d/file.jpg" },
        { platform::kInvalidAttributes, "/gone", "/gone" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::NormaliseDroppedPath(c.path, c.attributes, '/'), c.expected)
            << std::hex << c.attributes << ' ' << c.path;
    EXPECT_EQ(platform::NormaliseDroppedPath("d:\\a", 0x10, '\\'), "d:\\a\\");
}

TEST(DroppedPath, PercentDecodingKeepsEveryByte)
{
    EXPECT_EQ(platform::PercentDecode("/a%20b/%E6%96%87%ff"), "/a b/\xe6\x96\x87\xff");
    EXPECT_EQ(platform::PercentDecode("100%/%zz/%4"), "100%/%zz/%4");
    EXPECT_EQ(platform::PercentDecode("%00x"), std::string("\0x", 2));
}
