#include "platform/posix/posixplatform.h"
#include "tests/support/temptree.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using platform::EntryKind;

namespace {

class PosixPlatformTest : public ::testing::Test
{
protected:
    platform::posix::PosixPlatform m_platform;
    testsupport::TempTree m_tree;
};

TEST_F(PosixPlatformTest, EverySpellingOfTheSystemRootIsRefused)
{
    for (const char* path : { "", "/", "//", "/.", "/./", "/tmp/..", "///." })
        EXPECT_TRUE(m_platform.IsSystemRoot(path)) << '"' << path << '"';
    for (const char* path : { "/tmp", "/nonexistent", "." })
        EXPECT_FALSE(m_platform.IsSystemRoot(path)) << '"' << path << '"';
    const auto link = m_tree.root() / "to-root";
    std::filesystem::create_directory_symlink("/", link);
    EXPECT_TRUE(m_platform.IsSystemRoot(link.string()));
}

TEST_F(PosixPlatformTest, ListsEntriesWithKindsAndNeverFollowsLinks)
{
    m_tree.Write("file.jpg", "0123456789");
    m_tree.MakeDir("sub");
    const auto root = m_tree.root();
    std::filesystem::create_directory_symlink(root / "sub", root / "dirlink");
    std::filesystem::create_symlink(root / "file.jpg", root / "filelink.jpg");
    std::filesystem::create_symlink(root / "gone", root / "dangling");
    ASSERT_EQ(::mkfifo((root / "fifo.jpg").c_str(), 0600), 0);

    auto reader = m_platform.OpenDirectory(m_tree.rootText(), false);
    ASSERT_TRUE(reader);
    std::map<std::string, EntryKind> seen;
    platform::DirectoryEntry entry;
    while (reader->Next(entry))
        seen[entry.name] = entry.kind;
    const std::map<std::string, EntryKind> expected {
        { ".", EntryKind::Directory }, { "..", EntryKind::Directory },
        { "file.jpg", EntryKind::Regular }, { "sub", EntryKind::Directory },
        { "dirlink", EntryKind::Other }, { "filelink.jpg", EntryKind::Other },
        { "dangling", EntryKind::Other }, { "fifo.jpg", EntryKind::Other },
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(reader->EntrySize("file.jpg"), 10u);
    EXPECT_FALSE(reader->EntrySize("missing").has_value());

    EXPECT_FALSE(m_platform.OpenDirectory((root / "dirlink").string(), false));
    EXPECT_TRUE(m_platform.OpenDirectory((root / "dirlink").string(), true));
    EXPECT_FALSE(m_platform.OpenDirectory((root / "missing").string(), true));
}

TEST_F(PosixPlatformTest, OpensOnlyRegularFilesAndNeverWaitsOnAFifo)
{
    const std::string file = m_tree.Write("a.doc", std::string(500, 'x'));
    const auto root = m_tree.root();
    ASSERT_EQ(::mkfifo((root / "fifo.doc").c_str(), 0600), 0);
    std::filesystem::create_symlink(file, root / "link.doc");

    const auto head = m_platform.ReadHead(file, 330);
    EXPECT_TRUE(head.opened);
    EXPECT_EQ(head.length, 500u);
    EXPECT_EQ(head.bytes.size(), 330u);

    for (const auto* name : { "fifo.doc", "link.doc", "missing.doc" }) {
        const auto path = (root / name).string();
        EXPECT_FALSE(m_platform.ReadHead(path, 330).opened) << name;
        EXPECT_FALSE(m_platform.ReadWholeFile(path, 1 << 20).has_value()) << name;
    }
    EXPECT_FALSE(m_platform.ReadHead(root.string(), 330).opened);
}

TEST_F(PosixPlatformTest, ReadWholeFileHonoursItsLimit)
{
    const std::string file = m_tree.Write("p.jpg", std::string(300, 'y'));
    EXPECT_EQ(m_platform.ReadWholeFile(file, 300), std::string(300, 'y'));
    EXPECT_FALSE(m_platform.ReadWholeFile(file, 299).has_value());
    EXPECT_EQ(m_platform.ReadWholeFile(m_tree.Write("empty.jpg", ""), 10), std::string());
}

TEST_F(PosixPlatformTest, ResetOnAFileSystemWithoutDosAttributesChangesNothing)
{
    const std::string dir = m_tree.MakeDir("hidden");
    ::chmod(dir.c_str(), 0500);
    struct stat before, after;
    ASSERT_EQ(::stat(dir.c_str(), &before), 0);
    m_platform.ResetFolderAttributes(dir);
    m_platform.ResetFolderAttributes(dir + "/missing");
    ASSERT_EQ(::stat(dir.c_str(), &after), 0);
    EXPECT_EQ(before.st_mode, after.st_mode);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

} // namespace
