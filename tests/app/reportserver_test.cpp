#include "app/appstate.h"
#include "app/reportserver.h"
#include "app/scanhandlers.h"
#include "platform/posix/posixplatform.h"
#include "results/resultsmodel.h"
#include "tests/support/forwardingplatform.h"
#include "tests/support/temptree.h"
#include "tests/support/waitfor.h"
#include "tests/support/yesboxes.h"
#include "ui/mainwindow.h"

#include <QLineEdit>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 60000;

// The real platform, except that it can be told to distrust every peer.
class PeerPlatform final : public testsupport::ForwardingPlatform
{
public:
    bool trustPeers = true;

    bool PeerIsSameUser(int fd) override { return trustPeers && m_real.PeerIsSameUser(fd); }
};

struct SenderRun
{
    int exitCode = -1;
    QString error;
};

// Runs filemend-report in a process of its own, optionally through a wrapper such as setpriv.
SenderRun RunSender(const QStringList& args, const QStringList& wrapper = {})
{
    QProcess process;
    QStringList command = wrapper;
    command << QStringLiteral(FILEMEND_REPORT_BIN) << args;
    process.start(command.takeFirst(), command);
    process.waitForFinished(kTimeoutMs);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardError()) };
}

class ReportServerTest : public ::testing::Test
{
protected:
    ReportServerTest()
    {
        const char* old = ::getenv("XDG_RUNTIME_DIR");
        m_oldRuntime = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_RUNTIME_DIR", m_runtime.root().c_str(), 1);
        app::InitGlobals(m_state, std::make_unique<platform::posix::PosixPlatform>());
        m_handlers = std::make_unique<app::ScanHandlers>(m_state, m_window, m_boxes);
    }
    ~ReportServerTest() override
    {
        if (m_oldRuntime)
            ::setenv("XDG_RUNTIME_DIR", m_oldRuntime->c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }

    int Rows() const { return m_window.resultsModel()->rowCount(); }
    std::string Path(int row) const { return std::string(m_window.resultsModel()->PathBytes(row)); }
    fs::path Folder() const { return m_runtime.root() / "filemend"; }
    // Writes bytes on one connection of this process, and ends it.
    void SendRaw(const QByteArray& bytes, const QString& path)
    {
        QLocalSocket socket;
        socket.connectToServer(path);
        ASSERT_TRUE(socket.waitForConnected(kTimeoutMs));
        socket.write(bytes);
        while (socket.bytesToWrite() > 0)
            ASSERT_TRUE(socket.waitForBytesWritten(kTimeoutMs));
        socket.disconnectFromServer();
    }

    testsupport::TempTree m_runtime;
    std::optional<std::string> m_oldRuntime;
    ui::MainWindow m_window;
    app::AppState m_state;
    testsupport::YesBoxes m_boxes;
    std::unique_ptr<app::ScanHandlers> m_handlers;
};

TEST_F(ReportServerTest, EveryTextFromTheSenderBecomesAProcessEndedRow)
{
    app::ReportServer server(*m_state.platform, *m_window.reportBox());
    ASSERT_EQ(server.Listen(), app::ReportServer::ListenResult::Listening);
    EXPECT_EQ(fs::status(Folder()).permissions() & fs::perms::all, fs::perms::owner_all);

    EXPECT_EQ(RunSender({ "C:/virus.exe", "was", "ended" }).exitCode, 0);
    FM_TRY_EQ_T(Rows(), 1, kTimeoutMs);
    EXPECT_EQ(RunSender({ "进程 名字" }).exitCode, 0);
    FM_TRY_EQ_T(Rows(), 2, kTimeoutMs);

    EXPECT_EQ(Path(0), "C:/virus.exe was ended");
    EXPECT_EQ(Path(1), "进程 名字");
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(m_window.resultsModel()->Status(row), results::RowStatus::ProcessEnded);
    EXPECT_TRUE(m_window.reportBox()->text().isEmpty());
}

TEST_F(ReportServerTest, TheSenderRefusesBadTextsAndSaysWhenNobodyListens)
{
    const SenderRun nobody = RunSender({ "text" });
    EXPECT_EQ(nobody.exitCode, 2);
    EXPECT_TRUE(nobody.error.contains(QStringLiteral("no filemend window")))
        << nobody.error.toStdString();
    app::ReportServer server(*m_state.platform, *m_window.reportBox());
    ASSERT_EQ(server.Listen(), app::ReportServer::ListenResult::Listening);
    for (const QStringList& args : { QStringList {}, QStringList { "" },
             QStringList { "two\nlines" }, QStringList { QString(32768, 'x') } })
        EXPECT_EQ(RunSender(args).exitCode, 1) << args.join(' ').left(20).toStdString();
    EXPECT_EQ(RunSender({ QString(32767, 'x') }).exitCode, 0);
    FM_TRY_EQ_T(Rows(), 1, kTimeoutMs);
    EXPECT_EQ(Path(0).size(), 32767u);
}

TEST_F(ReportServerTest, MalformedAndOversizedMessagesAreDroppedWhole)
{
    app::ReportServer server(*m_state.platform, *m_window.reportBox());
    ASSERT_EQ(server.Listen(), app::ReportServer::ListenResult::Listening);
    const QByteArray stream = QByteArray("\n") // empty
        + QByteArray("a\0b\n", 4) // a NUL byte
        + "\xC3\x28\n" // not UTF-8
        + "\xED\xA0\x80\n" // a surrogate
        + QByteArray(32767, 'x') + "\n" // the longest text: kept uncut
        + QByteArray(32768, 'y') + "\n" // one byte too long
        + QByteArray(100000, 'z') + "still the long one\n" // dropped up to its newline
        + "ok\n" + "no newline before the end";
    SendRaw(stream, server.socketPath());
    FM_TRY_EQ_T(Rows(), 2, kTimeoutMs);
    // Connections are read side by side; this one is sent only once the first has been listed.
    SendRaw("last\n", server.socketPath());
    FM_TRY_EQ_T(Rows(), 3, kTimeoutMs);
    QTest::qWait(50);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Path(0), std::string(32767, 'x'));
    EXPECT_EQ(Path(1), "ok");
    EXPECT_EQ(Path(2), "last");
}

TEST_F(ReportServerTest, AFloodIsListedCompleteInOrderWhileTheWindowKeepsTurning)
{
    app::ReportServer server(*m_state.platform, *m_window.reportBox());
    ASSERT_EQ(server.Listen(), app::ReportServer::ListenResult::Listening);
    constexpr int kSenders = 4, kEach = 2500;
    const std::string path = server.socketPath().toStdString();
    std::vector<std::thread> senders;
    for (int t = 0; t < kSenders; ++t) {
        senders.emplace_back([t, path] {
            std::string stream;
            for (int i = 0; i < kEach; ++i)
                stream += std::to_string(t) + ":" + std::to_string(i) + "\n";
            platform::posix::PosixPlatform system;
            system.SendLocalMessage(path, stream); // blocks while the window's backlog is full
        });
    }
    // A timer of the window's event loop that notes the rows each time it gets a turn.
    int turnsMidFlood = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (Rows() > 0 && Rows() < kSenders * kEach)
            ++turnsMidFlood;
    });
    probe.start(0);
    FM_TRY_EQ_T(Rows(), kSenders * kEach, kTimeoutMs);
    probe.stop();
    for (std::thread& sender : senders)
        sender.join();

    EXPECT_GT(turnsMidFlood, 1);
    std::vector<int> next(kSenders, 0);
    for (int row = 0; row < Rows(); ++row) {
        const std::string text = Path(row);
        const int t = std::stoi(text.substr(0, text.find(':')));
        ASSERT_EQ(text, std::to_string(t) + ":" + std::to_string(next[t]++)) << row;
    }
    EXPECT_TRUE(m_window.reportBox()->text().isEmpty());
}

TEST_F(ReportServerTest, ASecondInstanceLeavesALiveSocketAloneAndReplacesAStaleOne)
{
    auto first = std::make_unique<app::ReportServer>(*m_state.platform, *m_window.reportBox());
    ASSERT_EQ(first->Listen(), app::ReportServer::ListenResult::Listening);
    QLineEdit otherBox;
    app::ReportServer second(*m_state.platform, otherBox);
    EXPECT_EQ(second.Listen(), app::ReportServer::ListenResult::AnotherInstance);
    EXPECT_EQ(RunSender({ "to the first" }).exitCode, 0);
    FM_TRY_EQ_T(Rows(), 1, kTimeoutMs);
    first.reset();

    // What a crashed instance leaves: a socket file that nobody listens on.
    const std::string socketPath = (Folder() / "report").string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    app::ReportServer third(*m_state.platform, *m_window.reportBox());
    EXPECT_EQ(third.Listen(), app::ReportServer::ListenResult::Listening);
    EXPECT_EQ(RunSender({ "to the third" }).exitCode, 0);
    FM_TRY_EQ_T(Rows(), 2, kTimeoutMs);
}

TEST_F(ReportServerTest, AFolderThatOthersCouldReachIsRefused)
{
    const fs::path elsewhere = m_runtime.root() / "elsewhere";
    fs::create_directory(elsewhere);
    fs::permissions(elsewhere, fs::perms::owner_all);
    const std::function<void()> spoil[] = {
        [&] { fs::create_directory_symlink(elsewhere, Folder()); },
        [&] {
            fs::create_directory(Folder());
            fs::permissions(Folder(),
                fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                    | fs::perms::others_read | fs::perms::others_exec);
        },
        [&] { m_runtime.Write("filemend", "a file"); },
        [&] {
            fs::create_directory(Folder());
            fs::permissions(Folder(), fs::perms::owner_all);
            if (::geteuid() == 0)
                ASSERT_EQ(::chown(Folder().c_str(), 65534, 65534), 0);
            else
                fs::permissions(Folder(), fs::perms::others_exec, fs::perm_options::add);
        },
    };
    for (std::size_t i = 0; i < std::size(spoil); ++i) {
        fs::remove_all(Folder());
        spoil[i]();
        app::ReportServer server(*m_state.platform, *m_window.reportBox());
        EXPECT_EQ(server.Listen(), app::ReportServer::ListenResult::FolderRefused) << i;
        EXPECT_FALSE(server.isListening());
        EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere / "report"))) << i;
        EXPECT_FALSE(fs::exists(fs::symlink_status(Folder() / "report"))) << i;
        EXPECT_EQ(RunSender({ "x" }).exitCode, 2) << i;
    }
}

TEST_F(ReportServerTest, APeerOfAnotherUserIsHungUpOnUnread)
{
    PeerPlatform distrusting;
    distrusting.trustPeers = false;
    app::ReportServer server(distrusting, *m_window.reportBox());
    ASSERT_EQ(server.Listen(), app::ReportServer::ListenResult::Listening);
    QLocalSocket socket;
    socket.connectToServer(server.socketPath());
    ASSERT_TRUE(socket.waitForConnected(kTimeoutMs));
    socket.write("must not be listed\n");
    socket.flush();
    FM_TRY_EQ_T(socket.state(), QLocalSocket::UnconnectedState, kTimeoutMs);
    QCoreApplication::processEvents();
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ReportServerTest, AnotherUserCannotReachTheSocket)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    app::ReportServer server(*m_state.platform, *m_window.reportBox());
    ASSERT_EQ(server.Listen(), app::ReportServer::ListenResult::Listening);
    // Everything above the private folder may be passed, so that it alone keeps the stranger out.
    fs::permissions(
        m_runtime.root(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);

    const SenderRun stranger = RunSender(
        { "from a stranger" }, { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" });
    EXPECT_EQ(stranger.exitCode, 2) << stranger.error.toStdString();

    // Without our sender's own checks, the kernel refuses the connection at the folder.
    const std::string socketPath = server.socketPath().toStdString();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        const int connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::_exit(connected == 0 ? 11 : errno == EACCES ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    QTest::qWait(50);
    EXPECT_EQ(Rows(), 0);
}

} // namespace
