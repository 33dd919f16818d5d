#include "platform/posix/posixplatform.h"
#include "tests/support/temptree.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

using platform::SendResult;

// A listening socket made the plain POSIX way, so the platform is checked against the system.
class Listener
{
public:
    explicit Listener(const std::string& path, bool listening = true)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && (!listening || ::listen(m_fd, 4) == 0);
    }
    ~Listener() { ::close(m_fd); }
    bool bound() const { return m_bound; }
    int Accept() { return ::accept(m_fd, nullptr, nullptr); }

private:
    int m_fd = -1;
    bool m_bound = false;
};

TEST(FileAttributes, FoldersArePlainFilesNormalAndOtherKindsAreNeverOpened)
{
    testsupport::TempTree tree;
    platform::posix::PosixPlatform system;
    const std::string fifo = (tree.root() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0); // opening it for reading would wait for a writer
    fs::create_directory_symlink(tree.root(), tree.root() / "link");
    const struct
    {
        std::string path;
        std::uint32_t attributes;
    } cases[] = {
        { tree.MakeDir("folder"), platform::kAttributeDirectory },
        { tree.Write("file.txt", "x"), platform::kAttributeNormal },
        { fifo, platform::kAttributeNormal },
        { (tree.root() / "link").string(), platform::kAttributeDirectory }, // links followed
        { (tree.root() / "missing").string(), platform::kInvalidAttributes },
        { "", platform::kInvalidAttributes },
        { "/", platform::kAttributeDirectory },
    };
    for (const auto& c : cases)
        EXPECT_EQ(system.FileAttributes(c.path), c.attributes) << c.path;
}

TEST(PrivateFolder, MadeForThisUserAloneAndNeverThroughALink)
{
    testsupport::TempTree tree;
    platform::posix::PosixPlatform system;
    const std::string made = (tree.root() / "made").string();
    EXPECT_TRUE(system.MakePrivateFolder(made));
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_TRUE(system.IsPrivateFolder(made));

    const fs::path open = tree.MakeDir("open");
    fs::permissions(open, fs::perms::owner_all | fs::perms::others_exec);
    fs::create_directory_symlink(made, tree.root() / "link");
    for (const fs::path& refused : { open, tree.root() / "link", fs::path(tree.Write("file", "")),
             tree.root() / "missing" / "below" }) {
        EXPECT_FALSE(system.MakePrivateFolder(refused.string())) << refused;
        EXPECT_EQ(fs::status(open).permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::others_exec); // never repaired
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(made.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(system.IsPrivateFolder(made));
    }
}

TEST(RuntimeFolder, UnderTheRuntimeFolderOrAFolderOfThisUserInTmp)
{
    platform::posix::PosixPlatform system;
    const char* old = ::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    for (const auto& [value, folder] :
        { std::pair<const char*, std::string> { "/run/user/7/", "/run/user/7/filemend" },
            { "relative", "/tmp/filemend-" + std::to_string(::geteuid()) },
            { nullptr, "/tmp/filemend-" + std::to_string(::geteuid()) } }) {
        if (value)
            ::setenv("XDG_RUNTIME_DIR", value, 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(system.RuntimeFolder(), folder) << (value ? value : "(unset)");
    }
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST(LocalSocket, SendReportsWhetherAnyoneListens)
{
    testsupport::TempTree tree;
    platform::posix::PosixPlatform system;
    const std::string live = (tree.root() / "live").string();
    const std::string stale = (tree.root() / "stale").string();
    Listener listener(live);
    ASSERT_TRUE(listener.bound());
    {
        Listener gone(stale, false);
    }

    EXPECT_EQ(
        system.SendLocalMessage((tree.root() / "none").string(), "x\n"), SendResult::NoListener);
    EXPECT_EQ(system.SendLocalMessage(stale, "x\n"), SendResult::NoListener);
    EXPECT_EQ(system.SendLocalMessage(std::string(200, 'p'), "x\n"), SendResult::Failed);

    // Larger than any socket buffer: the sender waits for the reader instead of cutting it short.
    const std::string big(1 << 20, 'b');
    std::string received;
    std::thread reader([&] {
        const int fd = listener.Accept();
        char buffer[65536];
        ssize_t got;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<std::size_t>(got));
        ::close(fd);
    });
    EXPECT_EQ(system.SendLocalMessage(live, big), SendResult::Sent);
    reader.join();
    EXPECT_EQ(received, big);
}

TEST(LocalSocket, ThePeerIsTrustedOnlyWhenItRunsAsThisUser)
{
    testsupport::TempTree tree;
    platform::posix::PosixPlatform system;
    // Open to all, so that another user can connect and the peer check alone can tell them apart.
    fs::permissions(tree.root(), fs::perms::all);
    const std::string path = (tree.root() / "socket").string();
    Listener listener(path);
    ASSERT_TRUE(listener.bound());
    ::chmod(path.c_str(), 0777);

    const bool root = ::geteuid() == 0;
    for (const bool stranger : { false, true }) {
        if (stranger && !root)
            break;
        const pid_t child = ::fork();
        if (child == 0) {
            if (stranger
                && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(10);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            path.copy(address.sun_path, sizeof address.sun_path - 1);
            ::_exit(
                ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? 0 : 11);
        }
        // The connection waits in the queue after the child has gone, with the creator's identity.
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        const int fd = listener.Accept();
        ASSERT_GE(fd, 0);
        EXPECT_EQ(system.PeerIsSameUser(fd), !stranger);
        ::close(fd);
    }
    EXPECT_FALSE(system.PeerIsSameUser(-1));
    if (!root)
        GTEST_SKIP() << "the stranger's side needs root to act as another user";
}

} // namespace
