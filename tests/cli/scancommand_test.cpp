#include "cli/scancommand.h"
#include "tests/support/temptree.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

TEST(ScanArguments, ParsesPatternRootAndHelp)
{
    using Args = std::vector<std::string>;
    const struct
    {
        Args args;
        bool ok;
        std::string pattern;
        std::string root;
    } cases[] = {
        { { "/data" }, true, "*.*", "/data" },
        { { "--pattern", "*.jpg", "/data" }, true, "*.jpg", "/data" },
        { { "/data", "--pattern=*.doc" }, true, "*.doc", "/data" },
        { { "--", "--odd-name" }, true, "*.*", "--odd-name" },
        { { "" }, true, "*.*", "" }, // parsed; refused later as the system root
        { { "--help" }, true, "*.*", "" },
        { {}, false, "", "" },
        { { "--pattern" }, false, "", "" },
        { { "--pattern", "", "/data" }, false, "", "" },
        { { "--bogus", "/data" }, false, "", "" },
        { { "/a", "/b" }, false, "", "" },
    };
    for (const auto& c : cases) {
        const auto parsed = cli::ParseScanArguments(c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args.front();
        ASSERT_EQ(parsed.options.has_value(), c.ok) << what;
        if (c.ok) {
            EXPECT_EQ(parsed.options->pattern, c.pattern) << what;
            EXPECT_EQ(parsed.options->root, c.root) << what;
        } else {
            EXPECT_FALSE(parsed.error.empty()) << what;
        }
    }
}

struct Outcome
{
    int exitCode;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a built program with stdout and stderr sent to files, so neither is a terminal.
Outcome Execute(const std::string& program, const std::vector<std::string>& args)
{
    testsupport::TempTree scratch;
    std::string command = Quoted(program);
    for (const auto& arg : args)
        command += ' ' + Quoted(arg);
    command += " >" + Quoted((scratch.root() / "out").string()) + " 2>"
        + Quoted((scratch.root() / "err").string()) + " </dev/null";
    const int status = std::system(command.c_str());
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(scratch.root() / "out"),
        ReadAll(scratch.root() / "err") };
}

Outcome Scan(const std::vector<std::string>& args) { return Execute(FILEMEND_SCAN_BIN, args); }

const std::string kDamaged(200, '\0');

TEST(ScanCommand, PrintsOneNumberedRowPerRepairableFileInWalkOrder)
{
    testsupport::TempTree tree;
    const std::string top = tree.Write("top.doc", kDamaged);
    const std::string inner = tree.Write("sub/inner.doc", kDamaged);
    tree.Write("sub/healthy.pdf", "%PDF" + std::string(200, ' '));
    tree.Write("sub/picture.jpg", kDamaged);

    Outcome run = Scan({ tree.root().string() });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, ""); // no progress when stderr is not a terminal
    // Files come before sub-folders, so the root's file is row 0 whatever the listing order.
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "0\t可修复\t" + top + "\n");
    EXPECT_NE(run.out.find("\t可修复\t" + inner + "\n"), std::string::npos);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);

    run = Scan({ "--pattern", "*.DOC", tree.rootText() });
    EXPECT_EQ(run.out, "0\t可修复\t" + top + "\n1\t可修复\t" + inner + "\n");
}

TEST(ScanCommand, RefusesTheSystemRootAndBadArguments)
{
    testsupport::TempTree tree;
    for (const char* root : { "/", "//", "/.", "" }) {
        const Outcome run = Scan({ root });
        EXPECT_EQ(run.exitCode, 2) << root;
        EXPECT_EQ(run.err, "不要扫c盘\n") << root;
        EXPECT_EQ(run.out, "") << root;
    }
    for (const auto& args :
        std::vector<std::vector<std::string>> { {}, { "--bogus", tree.root().string() },
            { (tree.root() / "missing").string() }, { "--pattern" } }) {
        const Outcome run = Scan(args);
        EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "(none)" : args.front());
        EXPECT_NE(run.err.find("filemend-scan: "), std::string::npos) << run.err;
    }
    const Outcome help = Scan({ "--help" });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: filemend-scan"), std::string::npos);
}

TEST(MakeDemo, BuildsSamplesThatTheScanSortsAndGuardsForeignFolders)
{
    testsupport::TempTree tree;
    const std::string demo = (tree.root() / "demo").string();
    ASSERT_EQ(Execute(FILEMEND_MAKE_DEMO_BIN, { demo }).exitCode, 0);
    ASSERT_EQ(Execute(FILEMEND_MAKE_DEMO_BIN, { demo }).exitCode, 0); // its own folder: rewritten

    const Outcome run = Scan({ demo });
    ASSERT_EQ(run.exitCode, 0);
    std::vector<std::string> listed;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        listed.push_back(fs::path(line.substr(line.rfind('\t') + 1)).filename().string());
    std::sort(listed.begin(), listed.end());
    const std::vector<std::string> expected { "归档-损坏.zip", "报告-损坏.pdf", "文档-损坏.doc",
        "文档-损坏.doc", "照片-损坏.jpg", "照片-损坏.jpg", "相机-损坏.jpg", "相机.jpg",
        "说明.txt" };
    std::vector<std::string> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(listed, sortedExpected) << run.out;

    // A folder with someone else's files is left alone.
    const std::string foreign = tree.Write("foreign/keep.txt", "mine");
    const Outcome refused = Execute(FILEMEND_MAKE_DEMO_BIN, { (tree.root() / "foreign").string() });
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.root() / "foreign"), {}), 1);
    EXPECT_EQ(ReadAll(foreign), "mine");
}

} // namespace
