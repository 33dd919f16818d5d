#include "cli/scancommand.h"
#include "tests/cli/delegatingplatform.h"
#include "tests/support/temptree.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

std::string RunScan(platform::Platform& platform, std::vector<std::string> args)
{
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunScanCommand(platform, args, out, err), 0) << err.str();
    return out.str();
}

// A few thousand files with names that break naive parsers, healthy, damaged and plain, spread over
// nested folders, some empty or too small to be checked.
void BuildOddTree(const testsupport::TempTree& tree)
{
    std::mt19937 random(42);
    const char* const pieces[]
        = { "a", "\t", "\n", ",", "\"", "\\", "中", "\xFF", " ", "(1)", ".jpg" };
    const std::string heads[] = { std::string("%PDF-1.4"), std::string("\xFF\xD8\xFF\xE0", 4),
        std::string("plain text "), std::string("GIF89a") };
    for (int i = 0; i < 3000; ++i) {
        std::string name = std::to_string(i);
        for (int k = random() % 4; k > 0; --k)
            name += pieces[random() % std::size(pieces)];
        const std::string folder = "d" + std::to_string(random() % 40)
            + (random() % 3 ? "/" : "/e\t" + std::to_string(random() % 5) + "/");
        std::string bytes = heads[random() % std::size(heads)] + std::string(random() % 600, 'x');
        if (random() % 2)
            for (std::size_t b = 0; b < 100 && b < bytes.size(); ++b)
                bytes[b] = static_cast<char>(bytes[b] ^ 0xFF);
        tree.Write(folder + name + (random() % 2 ? ".pdf" : ".jpg"), bytes);
    }
}

TEST(Pipeline, ParallelOutputIsTheSingleThreadedOutputExactly)
{
    testsupport::TempTree tree;
    BuildOddTree(tree);
    testsupport::DelegatingPlatform platform;
    for (const std::vector<std::string>& options :
        { std::vector<std::string> {}, std::vector<std::string> { "--verify", "--format", "json" },
            std::vector<std::string> { "--pattern", "*.jpg", "--format", "csv", "--verify" } }) {
        std::vector<std::string> args = options;
        args.insert(args.end(), { "--threads", "1", tree.root().string() });
        const std::string single = RunScan(platform, args);
        EXPECT_GT(std::count(single.begin(), single.end(), '\n'), 500);
        for (const char* threads : { "2", "5" }) {
            args[args.size() - 2] = threads;
            EXPECT_EQ(RunScan(platform, args), single) << threads << " threads";
        }
    }
}

TEST(Pipeline, FolderAttributesAreListedInWalkOrderAndADryRunResetsNothing)
{
    testsupport::TempTree tree;
    tree.Write("hidden/a.doc", std::string(200, '\0'));
    tree.Write("plain/b.doc", std::string(200, '\0'));
    tree.MakeDir("hidden/system");
    testsupport::DelegatingPlatform platform;
    platform.folderAttributes = [](const std::string& path) -> std::optional<std::uint32_t> {
        if (path.ends_with("/hidden"))
            return 0x12;
        if (path.ends_with("/system"))
            return 0x16;
        return 0x30; // a plain folder: not listed
    };
    const std::string root = tree.root().string();
    for (const char* threads : { "1", "3" }) {
        const std::string dry
            = RunScan(platform, { "--no-reset", "--list-hidden", "--threads", threads, root });
        EXPECT_TRUE(platform.Resets().empty());
        // a.doc is found inside hidden/, before its sub-folder; plain/ comes in listing order.
        const std::string hiddenRow = "\twould reset\t" + root + "/hidden\t\t0x12\n";
        const std::string fileRow = "\t可修复\t" + root + "/hidden/a.doc\t200\t\n";
        const std::string systemRow = "\twould reset\t" + root + "/hidden/system\t\t0x16\n";
        ASSERT_NE(dry.find(hiddenRow), std::string::npos) << dry;
        EXPECT_LT(dry.find(hiddenRow), dry.find(fileRow));
        EXPECT_LT(dry.find(fileRow), dry.find(systemRow));
        EXPECT_EQ(dry.find("/plain\t"), std::string::npos);
    }
    const std::string reset = RunScan(platform, { "--list-hidden", root });
    EXPECT_NE(reset.find("\treset\t" + root + "/hidden/system\t\t0x16\n"), std::string::npos);
    EXPECT_EQ(platform.Resets().size(), 3u);
}

TEST(ScanArguments, ParsesTheTechnicianOptions)
{
    using Args = std::vector<std::string>;
    for (const Args& bad : { Args { "--threads", "0", "/d" }, Args { "--threads=65", "/d" },
             Args { "--threads", "2x", "/d" }, Args { "--format", "xml", "/d" },
             Args { "--restore-to=", "/d" }, Args { "/d", "--restore-to" } })
        EXPECT_FALSE(cli::ParseScanArguments(bad).options) << bad.front();
    const auto parsed = cli::ParseScanArguments({ "--verify", "--format=csv", "--restore-to",
        "/out", "--no-reset", "--list-hidden", "-q", "--threads=3", "/d" });
    ASSERT_TRUE(parsed.options) << parsed.error;
    const cli::ScanOptions& o = *parsed.options;
    EXPECT_TRUE(o.verify && o.noReset && o.listHidden && o.quiet);
    EXPECT_EQ(o.format, "csv");
    EXPECT_EQ(o.restoreTo, "/out");
    EXPECT_EQ(o.threads, 3);
    EXPECT_EQ(o.root, "/d");
}

} // namespace
