#include "cli/restorer.h"
#include "cli/scancommand.h"
#include "tests/cli/delegatingplatform.h"
#include "tests/support/temptree.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Damaged(std::string bytes)
{
    for (std::size_t i = 0; i < 100 && i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    return bytes;
}

std::string Pdf(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes = "%PDF-1.4\n";
    while (bytes.size() < size)
        bytes += static_cast<char>(random());
    return bytes;
}

struct Outcome
{
    int exitCode;
    std::string out;
    std::string err;
};

Outcome Scan(platform::Platform& platform, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = cli::RunScanCommand(platform, args, out, err);
    return { code, out.str(), err.str() };
}

// Every regular file below a folder, relative path to content.
std::map<std::string, std::string> Files(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = ReadAll(entry.path());
    return files;
}

// A tmpfs of the given options mounted for one test; empty when this process may not mount.
class ScratchMount
{
public:
    ScratchMount(const fs::path& at, const char* options)
        : m_at(at)
    {
        fs::create_directories(at);
        m_mounted = ::mount("filemend-test", at.c_str(), "tmpfs", 0, options) == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(m_at.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    void MakeReadOnly()
    {
        m_mounted = ::mount(nullptr, m_at.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0
            && m_mounted;
    }

private:
    fs::path m_at;
    bool m_mounted = false;
};

TEST(Restore, CopiesAreTheFilesBeforeTheDamageUnderTheirRelativePaths)
{
    testsupport::TempTree tree;
    testsupport::DelegatingPlatform platform;
    const std::map<std::string, std::string> originals { { "a.pdf", Pdf(150, 1) },
        { "sub/深/b.pdf", Pdf(100000, 2) }, { "sub/c\td.pdf", Pdf(5000, 3) } };
    for (const auto& [name, bytes] : originals)
        tree.Write("scan/" + name, Damaged(bytes));
    tree.Write("scan/notes.txt", std::string(300, 'n')); // listed, unproven: not restored
    const auto before = Files(tree.root() / "scan");

    const std::string destination = (tree.root() / "out/new").string();
    const Outcome run = Scan(
        platform, { "--quiet", "--restore-to", destination, (tree.root() / "scan").string() });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Files(destination), originals);
    EXPECT_EQ(Files(tree.root() / "scan"), before); // the originals are untouched
    EXPECT_NE(run.err.find("restored 3, skipped 1, failed 0"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not proven inverted"), std::string::npos) << run.err;
}

TEST(Restore, NeverReplacesAFileAndNumbersTheNewName)
{
    for (const auto& [name, n, numbered] : std::vector<std::tuple<std::string, int, std::string>> {
             { "a.jpg", 1, "a (1).jpg" }, { "a.b.c", 2, "a.b (2).c" }, { "noext", 1, "noext (1)" },
             { ".hidden", 3, ".hidden (3)" } })
        EXPECT_EQ(cli::Restorer::NumberedName(name, n), numbered);

    testsupport::TempTree tree;
    testsupport::DelegatingPlatform platform;
    const std::string original = Pdf(2000, 4);
    tree.Write("scan/x.pdf", Damaged(original));
    tree.Write("out/x.pdf", "mine");
    const std::string root = (tree.root() / "scan").string();
    const std::string destination = (tree.root() / "out").string();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Scan(platform, { "--restore-to", destination, root }).exitCode, 0);
    EXPECT_EQ(Files(destination),
        (std::map<std::string, std::string> {
            { "x.pdf", "mine" }, { "x (1).pdf", original }, { "x (2).pdf", original } }));
}

TEST(Restore, RefusesADestinationInsideTheScannedTreeHoweverSpelt)
{
    testsupport::TempTree tree;
    testsupport::DelegatingPlatform platform;
    tree.Write("scan/sub/x.pdf", Damaged(Pdf(300, 5)));
    const fs::path root = tree.root() / "scan";
    fs::create_directory_symlink(root / "sub", tree.root() / "link-in");
    for (const std::string& destination :
        { root.string(), (root / "out").string(), (root / "sub/../new/deeper").string(),
            (tree.root() / "link-in/out").string(), (tree.root() / "scan/./sub").string() }) {
        const auto before = Files(root);
        const Outcome run = Scan(platform, { "--restore-to", destination, root.string() });
        EXPECT_EQ(run.exitCode, 2) << destination;
        EXPECT_NE(run.err.find("inside the scanned folder"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Files(root), before) << destination;
        EXPECT_FALSE(fs::exists(root / "out") || fs::exists(root / "new")) << destination;
    }
    // Beside the tree, even through a name that starts like the root's, is fine.
    const Outcome beside
        = Scan(platform, { "--restore-to", root.string() + "-copies", root.string() });
    EXPECT_EQ(beside.exitCode, 0) << beside.err;
}

// Nothing but the restored copies, whole: no temporary file, no partial copy.
void ExpectOnlyWholeCopies(
    const fs::path& destination, const std::map<std::string, std::string>& allowed)
{
    for (const auto& [name, bytes] : Files(destination)) {
        ASSERT_TRUE(allowed.count(name)) << "left behind: " << name;
        EXPECT_EQ(bytes, allowed.at(name)) << name;
    }
}

TEST(Restore, AFullDestinationFailsClearlyAndLeavesNoPartialFile)
{
    testsupport::TempTree tree;
    testsupport::DelegatingPlatform platform;
    const std::string small = Pdf(2000, 6), large = Pdf(400000, 7);
    tree.Write("scan/small.pdf", Damaged(small));
    tree.Write("scan/large.pdf", Damaged(large));
    const fs::path destination = tree.root() / "full";
    ScratchMount tiny(destination, "size=128k");
    if (!tiny.mounted()) {
        // Without the right to mount, the system's answer is played by the platform layer.
        platform.writeNewFile
            = [](const std::string&,
                  std::string_view bytes) -> std::optional<platform::WriteOutcome> {
            if (bytes.size() > 100000)
                return platform::WriteOutcome { false, false, "No space left on device" };
            return std::nullopt;
        };
        fs::create_directories(destination);
    }
    // One worker: two copies written at once would share the tiny file system's space, and which
    // of them fails would then depend on timing.
    const Outcome run = Scan(platform,
        { "--threads", "1", "--restore-to", destination.string(), (tree.root() / "scan").string() });
    EXPECT_EQ(run.exitCode, cli::kExitRestoreFailed);
    EXPECT_NE(run.err.find("restored 1, skipped 0, failed 1"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("large.pdf: No space left on device"), std::string::npos) << run.err;
    ExpectOnlyWholeCopies(destination, { { "small.pdf", small } });
}

TEST(Restore, AReadOnlyDestinationFailsClearlyAndWritesNothing)
{
    testsupport::TempTree tree;
    testsupport::DelegatingPlatform platform;
    tree.Write("scan/a.pdf", Damaged(Pdf(500, 8)));
    tree.Write("scan/sub/b.pdf", Damaged(Pdf(500, 9)));
    const fs::path destination = tree.root() / "readonly";
    ScratchMount mount(destination, "size=1m");
    if (mount.mounted()) {
        mount.MakeReadOnly();
    } else {
        ASSERT_NE(::geteuid(), 0u) << "root ignores permissions: mounting was the way";
        fs::permissions(destination, fs::perms::owner_read | fs::perms::owner_exec);
    }
    const Outcome run
        = Scan(platform, { "--restore-to", destination.string(), (tree.root() / "scan").string() });
    EXPECT_EQ(run.exitCode, cli::kExitRestoreFailed) << run.err;
    EXPECT_NE(run.err.find("restored 0, skipped 0, failed 2"), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.find("Read-only file system") != std::string::npos
        || run.err.find("Permission denied") != std::string::npos)
        << run.err;
    EXPECT_TRUE(Files(destination).empty());

    // A destination that cannot even be created is refused before the walk starts.
    const Outcome refused = Scan(platform,
        { "--restore-to", (destination / "new").string(), (tree.root() / "scan").string() });
    EXPECT_EQ(refused.exitCode, cli::kExitUsage);
    EXPECT_NE(refused.err.find("cannot create"), std::string::npos) << refused.err;
}

} // namespace
