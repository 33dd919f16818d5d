#include "scan/drivelist.h"
#include "scan/folderwalk.h"
#include "tests/scan/recordingplatform.h"
#include "tests/support/temptree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Bytes that carry no signature: what a damaged file looks like to the classifier.
const std::string kDamaged(200, '\0');
const std::string kHealthy = "%PDF" + std::string(196, ' ');

class EventLog final : public scan::WalkSink
{
public:
    void OnFolderOrFile(const std::string& statusText) override
    {
        Add("S " + statusText);
        if (onStatus)
            onStatus(statusText);
    }
    void OnRepairable(const std::string& path) override { Add("R " + path); }

    std::vector<std::string> Events()
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::function<void(const std::string&)> onStatus;

private:
    void Add(std::string event)
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }
    std::mutex m_mutex;
    std::vector<std::string> m_events;
};

class FolderWalkTest : public ::testing::Test
{
protected:
    std::vector<std::string> Walk(const std::string& root, const std::string& pattern = "*.*")
    {
        scan::WalkFolder(m_platform, root, pattern, m_gate, m_log);
        return m_log.Events();
    }
    std::string Path(const std::string& relative) const
    {
        return (m_tree.root() / relative).string();
    }

    testsupport::TempTree m_tree;
    testsupport::RecordingPlatform m_platform;
    scan::ScanGate m_gate;
    EventLog m_log;
};

TEST_F(FolderWalkTest, FilesFirstThenEachSubFolderDepthFirst)
{
    m_tree.Write("b.jpg", kDamaged);
    m_tree.Write("a.txt", kHealthy);
    m_tree.Write("sub/c.doc", kDamaged);
    m_tree.Write("sub/deeper/e.pdf", kHealthy);
    m_tree.Write("x.jpg/inside.doc", kDamaged);
    m_tree.Write(".hidden/f.doc", kDamaged);
    m_tree.MakeDir("empty");
    const std::string root = m_tree.root().string();

    const std::vector<std::string> expected {
        "S " + root,
        "S " + Path("a.txt"),
        "R " + Path("b.jpg"),
        "S " + Path("b.jpg"),
        "S " + Path("empty"),
        "S " + Path("sub"),
        "R " + Path("sub/c.doc"),
        "S " + Path("sub/c.doc"),
        "S " + Path("sub/deeper"),
        "S " + Path("sub/deeper/e.pdf"),
        "S " + Path("x.jpg"),
        "R " + Path("x.jpg/inside.doc"),
        "S " + Path("x.jpg/inside.doc"),
    };
    EXPECT_EQ(Walk(root), expected);
    const std::vector<std::string> resets { Path("empty"), Path("sub"), Path("sub/deeper"),
        Path("x.jpg") };
    EXPECT_EQ(m_platform.resets, resets);
    // Only the root may be reached through a link.
    for (const auto& open : m_platform.opens)
        EXPECT_EQ(open.followLinks, open.path == root + "/") << open.path;
}

TEST_F(FolderWalkTest, PatternSelectsFilesButEveryFolderIsWalked)
{
    m_tree.Write("b.JPG", kDamaged);
    m_tree.Write("a.doc", kDamaged);
    m_tree.Write("x.jpg/y.jpg", kDamaged);
    const std::string root = m_tree.rootText(); // given with its separator, shown with it
    const std::vector<std::string> expected {
        "S " + root,
        "R " + Path("b.JPG"),
        "S " + Path("b.JPG"),
        "S " + Path("x.jpg"),
        "R " + Path("x.jpg/y.jpg"),
        "S " + Path("x.jpg/y.jpg"),
    };
    EXPECT_EQ(Walk(root, "*.jpg"), expected);
    EXPECT_EQ(m_platform.resets, std::vector<std::string> { Path("x.jpg") });
}

TEST_F(FolderWalkTest, OnlyFilesInsideTheSizeWindowAreClassified)
{
    const std::map<std::string, std::uintmax_t> sizes {
        { "s9", 9 },
        { "s10", 10 },
        { "s5481600", 5481600 },
        { "s5481601", 5481601 },
        { "s4GiB+100", (std::uintmax_t { 1 } << 32) + 100 },
    };
    for (const auto& [name, size] : sizes)
        fs::resize_file(m_tree.Write(name + ".dat", ""), size); // sparse: costs no disk
    Walk(m_tree.root().string());
    EXPECT_EQ(
        m_platform.heads, (std::vector<std::string> { Path("s10.dat"), Path("s5481600.dat") }));
    // Every matching file is shown, checked or not.
    EXPECT_EQ(m_log.Events().size(), 1 + sizes.size() + 1); // the 5,481,600 zero bytes are listed
}

TEST_F(FolderWalkTest, LinksAndSpecialFilesAreNeverFollowedOrOpened)
{
    m_tree.Write("real/a.doc", kDamaged);
    const fs::path root = m_tree.root();
    fs::create_directory_symlink(root, root / "real/loop");
    fs::create_directory_symlink(root / "real", root / "dirlink");
    fs::create_symlink(root / "real/a.doc", root / "filelink.doc");
    fs::create_symlink(root / "gone", root / "dangling.doc");
    ASSERT_EQ(::mkfifo((root / "fifo.doc").c_str(), 0600), 0);

    const auto events = Walk(root.string());
    const std::vector<std::string> expected {
        "S " + root.string(),
        "S " + Path("real"),
        "R " + Path("real/a.doc"),
        "S " + Path("real/a.doc"),
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(m_platform.resets, std::vector<std::string> { Path("real") });
}

TEST_F(FolderWalkTest, BadInputFinishesAndListsTheRest)
{
    m_tree.Write("\xFF\xFE.doc", kDamaged);
    m_tree.Write("\xC3(/b.doc", kDamaged);
    m_tree.Write("locked/c.doc", kDamaged);
    m_tree.Write("vanishes.doc", kDamaged);
    m_tree.Write("z.doc", kDamaged);
    ::chmod(Path("locked").c_str(), 0);
    if (::geteuid() == 0) // root reads it anyway: make the enumeration fail as it would for a user
        m_platform.unreadable.insert(Path("locked"));
    m_platform.beforeReadHead = [&](const std::string& path) {
        if (path == Path("vanishes.doc"))
            fs::remove(path);
    };

    const auto events = Walk(m_tree.root().string());
    const std::vector<std::string> expected {
        "S " + m_tree.root().string(),
        "S " + Path("vanishes.doc"),
        "R " + Path("z.doc"),
        "S " + Path("z.doc"),
        "R " + Path("\xFF\xFE.doc"),
        "S " + Path("\xFF\xFE.doc"),
        "S " + Path("locked"),
        "S " + Path("\xC3("),
        "R " + Path("\xC3(/b.doc"),
        "S " + Path("\xC3(/b.doc"),
    };
    EXPECT_EQ(events, expected);

    EventLog missing;
    scan::WalkFolder(m_platform, Path("missing"), "*.*", m_gate, missing);
    EXPECT_EQ(missing.Events(), std::vector<std::string> { "S " + Path("missing") });
}

TEST_F(FolderWalkTest, DeepChainsKeepFewFoldersOpen)
{
    // A 300-deep chain with a side branch near the top: the walk must come back to the branch
    // after the chain, although the enumerations above it were closed meanwhile.
    fs::path deep = m_tree.root();
    for (int i = 0; i < 300; ++i)
        fs::create_directory(deep /= "d");
    m_tree.Write("d/d/z/last.doc", kDamaged);
    std::ofstream((deep / "bottom.doc").string(), std::ios::binary) << kDamaged;

    const auto events = Walk(m_tree.root().string());
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events.end()[-2], "R " + Path("d/d/z/last.doc"));
    EXPECT_NE(std::find(events.begin(), events.end(), "R " + (deep / "bottom.doc").string()),
        events.end());
    EXPECT_EQ(m_platform.resets.size(), 301u);
    EXPECT_LE(m_platform.mostLiveReaders, 70);
}

TEST_F(FolderWalkTest, NothingIsEnteredOrResetOnceEnded)
{
    m_tree.Write("a/one.doc", kDamaged);
    m_tree.Write("a/two.doc", kDamaged);
    m_tree.MakeDir("a/inner");
    m_tree.MakeDir("b");
    m_log.onStatus = [&](const std::string& status) {
        if (status == Path("a/one.doc"))
            m_gate.End();
    };
    const std::vector<std::string> expected {
        "S " + m_tree.root().string(),
        "S " + Path("a"),
        "R " + Path("a/one.doc"),
        "S " + Path("a/one.doc"),
    };
    EXPECT_EQ(Walk(m_tree.root().string()), expected);
    EXPECT_EQ(m_platform.resets, std::vector<std::string> { Path("a") });

    // An ended gate lets nothing happen until it is reset for the next scan.
    m_platform.resets.clear();
    EXPECT_EQ(Walk(m_tree.root().string()).size(), expected.size());
    EXPECT_TRUE(m_platform.resets.empty());
    m_log.onStatus = nullptr;
    m_gate.Reset();
    Walk(m_tree.root().string());
    EXPECT_EQ(
        m_platform.resets, (std::vector<std::string> { Path("a"), Path("a/inner"), Path("b") }));
}

// The walk pauses itself right after the first file, so the test knows where it is held.
class PausedWalk
{
public:
    PausedWalk(testsupport::RecordingPlatform& platform, scan::ScanGate& gate, EventLog& log,
        const std::string& root, const std::string& firstFile)
    {
        log.onStatus = [&, firstFile](const std::string& status) {
            if (status != firstFile)
                return;
            gate.Pause();
            std::lock_guard lock(m_mutex);
            m_paused = true;
            m_changed.notify_all();
        };
        m_thread = std::thread([&, root] { scan::WalkFolder(platform, root, "*.*", gate, log); });
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_paused; });
    }
    void Join() { m_thread.join(); }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_paused = false;
    std::thread m_thread;
};

TEST_F(FolderWalkTest, PauseHoldsTheWalkUntilContinueOrEnd)
{
    m_tree.Write("a.doc", kDamaged);
    m_tree.Write("b.doc", kDamaged);
    m_tree.MakeDir("sub");
    const std::string root = m_tree.root().string();
    for (const bool end : { false, true }) {
        SCOPED_TRACE(end ? "end" : "continue");
        m_gate.Reset();
        m_platform.heads.clear();
        m_platform.resets.clear();
        PausedWalk walk(m_platform, m_gate, m_log, root, Path("a.doc"));
        // Held: the next file is neither read nor shown while paused. (A correct walk never gets
        // here, so this wait costs time only when the walk is wrong.)
        for (int i = 0; i < 10 && m_platform.Heads().size() == 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(m_platform.Heads(), std::vector<std::string> { Path("a.doc") });
        if (end)
            m_gate.End();
        else
            m_gate.Continue();
        walk.Join();
        EXPECT_EQ(m_platform.heads.size(), end ? 1u : 2u);
        EXPECT_EQ(m_platform.resets.size(), end ? 0u : 1u);
    }
}

TEST(DriveList, RefillsFromThePlatform)
{
    testsupport::TempTree tree;
    std::ofstream(tree.root() / "mounts") << "/dev/sda1 / ext4 rw 0 0\n"
                                          << "/dev/sdb1 /media/usb vfat rw 0 0\n";
    platform::posix::PosixPlatform platform((tree.root() / "mounts").string());
    std::vector<std::string> driveList { "stale" };
    EXPECT_EQ(scan::FillDriveList(platform, driveList), 2u);
    EXPECT_EQ(driveList, (std::vector<std::string> { "/", "/media/usb/" }));
}

} // namespace

namespace {

TEST(ScanGate, EndWinsOverPauseUntilReset)
{
    scan::ScanGate gate;
    EXPECT_TRUE(gate.Running());
    gate.Pause();
    EXPECT_TRUE(gate.Paused());
    EXPECT_TRUE(gate.Running());
    gate.End();
    EXPECT_FALSE(gate.Proceed()); // released although still paused
    EXPECT_FALSE(gate.Running());
    gate.Reset();
    EXPECT_FALSE(gate.Paused());
    EXPECT_TRUE(gate.Proceed());
}

} // namespace
