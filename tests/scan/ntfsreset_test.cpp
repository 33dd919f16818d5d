#include "platform/posix/posixplatform.h"
#include "scan/folderwalk.h"
#include "tests/support/temptree.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

constexpr const char* kAttribute = "system.ntfs_attrib_be";

bool Succeeds(const std::string& command) { return std::system(command.c_str()) == 0; }

std::optional<std::uint32_t> Attributes(const fs::path& path)
{
    unsigned char word[4];
    if (::getxattr(path.c_str(), kAttribute, word, sizeof word) != sizeof word)
        return std::nullopt;
    return (std::uint32_t { word[0] } << 24) | (std::uint32_t { word[1] } << 16)
        | (std::uint32_t { word[2] } << 8) | word[3];
}

bool SetAttributes(const fs::path& path, std::uint32_t value)
{
    const unsigned char word[4]
        = { static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
              static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value) };
    return ::setxattr(path.c_str(), kAttribute, word, sizeof word, 0) == 0;
}

class NullSink final : public scan::WalkSink
{
public:
    void OnFolderOrFile(const std::string&) override { }
    void OnRepairable(const std::string&) override { }
};

// An NTFS image mounted through FUSE; unmounted however the test ends.
class NtfsMount
{
public:
    explicit NtfsMount(const testsupport::TempTree& tree)
        : m_image(tree.root() / "ntfs.img")
        , m_point(tree.MakeDir("mnt"))
    {
        if (!fs::exists("/dev/fuse")) {
            m_problem = "/dev/fuse is missing";
            return;
        }
        if (!Succeeds("command -v mkntfs >/dev/null && command -v ntfs-3g >/dev/null")) {
            m_problem = "mkntfs and ntfs-3g are not installed (Debian package ntfs-3g)";
            return;
        }
        fs::resize_file(tree.Write("ntfs.img", ""), 16 << 20);
        if (!Succeeds("mkntfs -F -Q -q '" + m_image.string() + "' >/dev/null 2>&1")) {
            m_problem = "mkntfs failed";
            return;
        }
        if (!Succeeds("timeout 30 ntfs-3g '" + m_image.string() + "' '" + m_point.string()
                + "' >/dev/null 2>&1")) {
            m_problem = "ntfs-3g could not mount the image (no FUSE permission here?)";
            return;
        }
        m_mounted = true;
    }
    ~NtfsMount()
    {
        if (m_mounted)
            Succeeds("umount '" + m_point.string() + "' 2>/dev/null || fusermount -u '"
                + m_point.string() + "' 2>/dev/null");
    }
    const std::string& problem() const { return m_problem; }
    const fs::path& point() const { return m_point; }

private:
    fs::path m_image;
    fs::path m_point;
    std::string m_problem;
    bool m_mounted = false;
};

TEST(NtfsReset, SubFoldersBecomeArchiveOnlyButNotTheRootNorDotFolders)
{
    testsupport::TempTree tree;
    NtfsMount mount(tree);
    if (!mount.problem().empty())
        GTEST_SKIP() << "no NTFS image: " << mount.problem();

    constexpr std::uint32_t kHiddenSystemDirectory = 0x02 | 0x04 | 0x10;
    const fs::path top = mount.point() / "top";
    for (const auto& folder : { top, top / "回收站", top / "回收站" / "inner", top / ".dot" }) {
        fs::create_directory(folder);
        ASSERT_TRUE(SetAttributes(folder, kHiddenSystemDirectory)) << folder;
    }

    platform::posix::PosixPlatform platform;
    scan::ScanGate gate;
    NullSink sink;
    scan::WalkFolder(platform, top.string(), "*.*", gate, sink);

    EXPECT_EQ(Attributes(top), kHiddenSystemDirectory);
    EXPECT_EQ(Attributes(top / "回收站"), 0x30u); // archive, and still a directory
    EXPECT_EQ(Attributes(top / "回收站" / "inner"), 0x30u);
    EXPECT_EQ(Attributes(top / ".dot"), kHiddenSystemDirectory);
}

} // namespace
