#include "app/appstate.h"
#include "app/previewhandlers.h"
#include "app/scanhandlers.h"
#include "results/resultsmodel.h"
#include "tests/hostile/hostiletree.h"
#include "tests/support/treesnapshot.h"
#include "tests/support/waitfor.h"
#include "tests/support/yesboxes.h"
#include "ui/mainwindow.h"
#include "ui/resultsview.h"
#include "ui/tiledlabel.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Generous enough for a sanitizer build on a busy machine; a scan that takes longer is hung, and
// the test fails instead of holding up the whole run.
constexpr int kWatchdogMs = 180'000;

struct CommandRun
{
    bool finished = false; // false: killed by the watchdog
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a program with its output in files of scratch, killing it when the watchdog runs out.
CommandRun RunCommand(const std::vector<std::string>& args, const fs::path& scratch)
{
    const std::string out = (scratch / "out").string(), err = (scratch / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    CommandRun run;
    if (spawned != 0)
        return run;

    int status = 0;
    const QDeadlineTimer deadline(kWatchdogMs);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.err = ReadAll(err);
            return run;
        }
        ::usleep(10'000);
    }
    run.finished = true;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    return run;
}

// The paths of the command's rows ("number TAB status TAB path"), churn left out.
std::set<std::string> ListedPaths(const std::string& out, const hostile::HostileTree& tree)
{
    std::set<std::string> paths;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const std::string path = line.substr(line.find('\t', line.find('\t') + 1) + 1);
        if (!tree.IsChurn(path))
            paths.insert(path);
    }
    return paths;
}

class HostileTreeTest : public ::testing::Test
{
protected:
    HostileTreeTest()
        : m_before(testsupport::TakeSnapshot(m_tree.root(), m_tree.churnFolder()))
    { }

    // Nothing outside the churn folder may change: not a byte, not a size, not a time.
    void ExpectUnchanged()
    {
        EXPECT_EQ(testsupport::ChangedPaths(
                      m_before, testsupport::TakeSnapshot(m_tree.root(), m_tree.churnFolder())),
            std::vector<std::string>());
    }

    hostile::HostileTree m_tree;
    testsupport::TreeSnapshot m_before;
    testsupport::TempTree m_scratch;
};

TEST_F(HostileTreeTest, TheCommandFinishesAndListsEveryDamagedFileItCanRead)
{
    m_tree.StartChurn();
    const CommandRun run = RunCommand({ FILEMEND_SCAN_BIN, m_tree.rootText() }, m_scratch.root());
    m_tree.StopChurn();
    ASSERT_TRUE(run.finished) << "filemend-scan did not finish: " << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ListedPaths(run.out, m_tree), m_tree.ExpectedRows(::geteuid() == 0));
    ExpectUnchanged();
}

// Entries without permissions must be skipped, not fail the scan; root reads them anyway, so the
// check runs the command again as an unprivileged user.
TEST_F(HostileTreeTest, AnUnprivilegedCommandSkipsWhatItCannotRead)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "already unprivileged: the test above covers the locked entries";
    const char* setpriv = nullptr;
    for (const char* candidate : { "/usr/bin/setpriv", "/bin/setpriv" })
        if (::access(candidate, X_OK) == 0)
            setpriv = candidate;
    if (!setpriv)
        GTEST_SKIP() << "setpriv is missing, so the scan cannot run as an unprivileged user";

    // The build folder may sit where that user cannot go: run a copy from a folder it can reach.
    const fs::path bin = m_scratch.root() / "bin";
    fs::create_directory(bin);
    fs::copy_file(FILEMEND_SCAN_BIN, bin / "filemend-scan");
    for (const fs::path& open : { m_scratch.root(), bin })
        fs::permissions(
            open, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    m_tree.OpenToOthers();
    const auto opened = testsupport::TakeSnapshot(m_tree.root(), m_tree.churnFolder());

    const CommandRun run
        = RunCommand({ setpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "--",
                         (bin / "filemend-scan").string(), m_tree.rootText() },
            m_scratch.root());
    ASSERT_TRUE(run.finished) << "filemend-scan did not finish: " << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ListedPaths(run.out, m_tree), m_tree.ExpectedRows(false));
    EXPECT_EQ(testsupport::ChangedPaths(
                  opened, testsupport::TakeSnapshot(m_tree.root(), m_tree.churnFolder())),
        std::vector<std::string>());
}

TEST_F(HostileTreeTest, TheWindowsScanAndThePreviewOfEveryRowFinish)
{
    app::AppState state;
    app::InitGlobals(state, platform::CreateNativePlatform());
    ui::MainWindow window;
    testsupport::YesBoxes boxes;
    app::ScanHandlers scanning(state, window, boxes);
    app::PreviewHandlers previewing(state, window);
    window.show();
    window.rootCombo()->setEditText(QString::fromStdString(m_tree.rootText()));
    window.patternCombo()->setCurrentIndex(0);

    m_tree.StartChurn();
    QTest::mouseClick(window.scanBox(), Qt::LeftButton);
    const bool scanned = testsupport::WaitFor(
        [&] { return window.statusLabel()->text() == QStringLiteral("扫描完成"); }, kWatchdogMs);
    m_tree.StopChurn();
    ASSERT_TRUE(scanned) << "the window's scan did not finish";

    std::set<std::string> listed;
    std::vector<std::string> previews = m_tree.PreviewPaths();
    results::ResultsModel& model = *window.resultsModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        const std::string path(model.PathBytes(row));
        previews.push_back(path);
        if (!m_tree.IsChurn(path))
            listed.insert(path);
    }
    EXPECT_EQ(listed, m_tree.ExpectedRows(::geteuid() == 0));

    std::string finished;
    QObject::connect(&previewing.controller(), &results::PreviewController::previewFinished,
        &window, [&](const std::string& path) { finished = path; });
    for (const std::string& path : previews) {
        finished.clear();
        previewing.PreviewRepairedImage(path);
        ASSERT_TRUE(testsupport::WaitFor([&] { return finished == path; }, kWatchdogMs))
            << "no preview of " << path;
    }
    ExpectUnchanged();
}

} // namespace
