#include "platform/posix/posixplatform.h"

#include "platform/posix/mounttable.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <malloc.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform::posix {

namespace {

constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrDirectory = 0x10;
// ntfs-3g and the ntfs3 driver both publish the DOS attribute word under this name.
constexpr const char* kNtfsAttribute = "system.ntfs_attrib_be";

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// O_NONBLOCK: should a FIFO slip in between the listing and the open, opening it for reading would
// otherwise wait for a writer forever. O_NOFOLLOW: a link put in a file's place is not followed.
int OpenRegularReadOnly(const std::string& path, struct stat& st)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads until count bytes, end of file, or an error; returns what was read.
std::size_t ReadFully(int fd, char* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, buffer + done, count - done);
        if (got > 0)
            done += static_cast<std::size_t>(got);
        else if (got < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return done;
}

EntryKind KindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryKind::Regular;
    if (S_ISDIR(mode))
        return EntryKind::Directory;
    return EntryKind::Other;
}

class PosixDirectoryReader final : public DirectoryReader
{
public:
    explicit PosixDirectoryReader(DIR* dir) : m_dir(dir) { }
    ~PosixDirectoryReader() override { ::closedir(m_dir); }

    bool Next(DirectoryEntry& entry) override
    {
        errno = 0;
        const dirent* d = ::readdir(m_dir);
        if (!d)
            return false;
        entry.name = d->d_name;
        switch (d->d_type) {
        case DT_REG:
            entry.kind = EntryKind::Regular;
            break;
        case DT_DIR:
            entry.kind = EntryKind::Directory;
            break;
        case DT_UNKNOWN: {
            // Some file systems leave the type out of the listing; ask for the entry itself.
            struct stat st;
            entry.kind = ::fstatat(::dirfd(m_dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
                ? KindOfMode(st.st_mode)
                : EntryKind::Other;
            break;
        }
        default:
            entry.kind = EntryKind::Other;
        }
        return true;
    }

    std::optional<std::uint64_t> EntrySize(const std::string& name) override
    {
        struct stat st;
        if (::fstatat(::dirfd(m_dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }

private:
    DIR* m_dir;
};

bool ResetFatAttributes(int fd)
{
    std::uint32_t attributes = kAttrArchive;
    return ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes) == 0;
}

void ResetNtfsAttributes(int fd)
{
    unsigned char word[4];
    if (::fgetxattr(fd, kNtfsAttribute, word, sizeof word) != sizeof word)
        return; // not NTFS: no DOS attributes to reset
    const std::uint32_t before = (std::uint32_t { word[0] } << 24) | (std::uint32_t { word[1] } << 16)
        | (std::uint32_t { word[2] } << 8) | word[3];
    const std::uint32_t after = kAttrArchive | (before & kAttrDirectory);
    if (after == before)
        return;
    const unsigned char out[4] = { static_cast<unsigned char>(after >> 24),
        static_cast<unsigned char>(after >> 16), static_cast<unsigned char>(after >> 8),
        static_cast<unsigned char>(after) };
    ::fsetxattr(fd, kNtfsAttribute, out, sizeof out, XATTR_REPLACE);
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

std::string ErrorText(int error) { return std::strerror(error); }

// Gives the finished temporary file its name without ever replacing a file that holds it.
// RENAME_NOREPLACE is one atomic step; a file system without it still supports link(), which fails
// on an existing name just the same.
int TakeName(const std::string& temporary, const std::string& path)
{
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(temporary.c_str(), path.c_str()) != 0)
        return errno;
    ::unlink(temporary.c_str());
    return 0;
}

// The attribute word where the file system keeps one; nullopt elsewhere.
std::optional<std::uint32_t> ReadDosAttributes(int fd)
{
    struct statfs fs;
    if (::fstatfs(fd, &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC) {
        std::uint32_t attributes = 0;
        if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0)
            return std::nullopt;
        return attributes;
    }
    unsigned char word[4];
    if (::fgetxattr(fd, kNtfsAttribute, word, sizeof word) != sizeof word)
        return std::nullopt;
    return (std::uint32_t { word[0] } << 24) | (std::uint32_t { word[1] } << 16)
        | (std::uint32_t { word[2] } << 8) | word[3];
}

} // namespace

PosixPlatform::PosixPlatform(std::string mountsPath) : m_mountsPath(std::move(mountsPath)) { }

std::vector<std::string> PosixPlatform::DriveRoots()
{
    std::ifstream table(m_mountsPath);
    if (!table)
        return {};
    return ParseMountTable(table);
}

bool PosixPlatform::IsSystemRoot(const std::string& path)
{
    if (path.empty())
        return true;
    // Every spelling of "/" ("//", "/.", "/tmp/..", a link to it) is the same directory.
    struct stat target, root;
    if (::stat(path.c_str(), &target) != 0 || ::stat("/", &root) != 0)
        return false;
    return target.st_dev == root.st_dev && target.st_ino == root.st_ino;
}

void PosixPlatform::TrimWorkingSet() { ::malloc_trim(0); }

std::unique_ptr<DirectoryReader> PosixPlatform::OpenDirectory(const std::string& path,
                                                              bool followLinks)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return nullptr;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixDirectoryReader>(dir);
}

FileHead PosixPlatform::ReadHead(const std::string& path, std::size_t maxBytes)
{
    return ReadHeadIfLength(path, maxBytes, 0, std::numeric_limits<std::uint64_t>::max());
}

FileHead PosixPlatform::ReadHeadIfLength(const std::string& path, std::size_t maxBytes,
                                         std::uint64_t minLength, std::uint64_t maxLength)
{
    FileHead head;
    struct stat st;
    FileDescriptor fd(OpenRegularReadOnly(path, st));
    if (!fd.valid())
        return head;
    head.opened = true;
    head.length = static_cast<std::uint64_t>(st.st_size);
    if (head.length < minLength || head.length > maxLength)
        return head;
    // A file shorter than maxBytes is read to its length only: asking on would cost a second read
    // per small file just to hear of its end.
    const std::size_t wanted
        = head.length < maxBytes ? static_cast<std::size_t>(head.length) : maxBytes;
    head.bytes.resize(wanted);
    head.bytes.resize(ReadFully(fd.get(), head.bytes.data(), wanted));
    return head;
}

std::optional<std::string> PosixPlatform::ReadWholeFile(const std::string& path,
                                                        std::uint64_t maxBytes)
{
    struct stat st;
    FileDescriptor fd(OpenRegularReadOnly(path, st));
    if (!fd.valid() || static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return std::nullopt;
    // Read one byte past the size: a file that grew since fstat is caught rather than cut.
    std::string content(static_cast<std::size_t>(st.st_size) + 1, '\0');
    content.resize(ReadFully(fd.get(), content.data(), content.size()));
    if (content.size() > maxBytes)
        return std::nullopt;
    return content;
}

void PosixPlatform::ResetFolderAttributes(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        return;
    struct statfs fs;
    if (::fstatfs(fd.get(), &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC) {
        ResetFatAttributes(fd.get());
        return;
    }
    ResetNtfsAttributes(fd.get());
}

bool PosixPlatform::IsTerminal(int stream) { return ::isatty(stream) == 1; }

bool PosixPlatform::RunsAsAdministrator() { return ::geteuid() == 0; }

std::uint32_t PosixPlatform::FileAttributes(const std::string& path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return kInvalidAttributes;
    // Devices, FIFOs and sockets are never opened: an open can wait, or rewind a tape.
    if (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode)) {
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (fd.valid() && ::fstat(fd.get(), &st) == 0) {
            if (std::optional<std::uint32_t> dos = ReadDosAttributes(fd.get())) {
                // Windows reports a file without attributes as "normal", never as 0.
                std::uint32_t attributes = *dos | (S_ISDIR(st.st_mode) ? kAttributeDirectory : 0);
                return attributes == 0 ? kAttributeNormal : attributes;
            }
        }
    }
    // Without DOS attributes (or when the open is refused) a folder is a plain folder.
    return S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeNormal;
}

std::string PosixPlatform::RuntimeFolder()
{
    // Only an absolute path counts: a relative one would depend on the working folder.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        std::string folder(runtime);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return (folder == "/" ? "" : folder) + "/filemend";
    }
    return "/tmp/filemend-" + std::to_string(::geteuid());
}

bool PosixPlatform::MakePrivateFolder(const std::string& path)
{
    if (path.empty())
        return false;
    // An existing entry is kept as it is and judged below; it is never repaired or replaced.
    ::mkdir(path.c_str(), 0700);
    return IsPrivateFolder(path);
}

bool PosixPlatform::IsPrivateFolder(const std::string& path)
{
    struct stat st;
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

bool PosixPlatform::PeerIsSameUser(int socketDescriptor)
{
    struct ucred peer;
    socklen_t length = sizeof peer;
    if (::getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0
        || length != sizeof peer)
        return false;
    return peer.uid == ::geteuid();
}

SendResult PosixPlatform::SendLocalMessage(const std::string& socketPath, std::string_view bytes)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path)
        return SendResult::Failed;
    socketPath.copy(address.sun_path, socketPath.size());
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid())
        return SendResult::Failed;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
        case ECONNREFUSED:
            return SendResult::NoListener;
        case EACCES:
        case EPERM:
            return SendResult::Refused;
        default:
            return SendResult::Failed;
        }
    }
    while (!bytes.empty()) {
        // MSG_NOSIGNAL: a listener that hangs up turns into an error here, not a SIGPIPE.
        const ssize_t sent = ::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return SendResult::Failed;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return SendResult::Sent;
}

std::optional<std::uint32_t> PosixPlatform::FolderAttributes(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        return std::nullopt;
    struct statfs fs;
    std::uint32_t attributes = 0;
    if (::fstatfs(fd.get(), &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC)
        return ::ioctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0
            ? std::optional(attributes)
            : std::nullopt;
    unsigned char word[4];
    if (::fgetxattr(fd.get(), kNtfsAttribute, word, sizeof word) != sizeof word)
        return std::nullopt;
    return (std::uint32_t { word[0] } << 24) | (std::uint32_t { word[1] } << 16)
        | (std::uint32_t { word[2] } << 8) | word[3];
}

std::optional<std::string> PosixPlatform::RealPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return std::nullopt;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::optional<FileIdentity> PosixPlatform::Identity(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity { static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino) };
}

WriteOutcome PosixPlatform::CreateFolderPath(const std::string& path)
{
    // Each level in turn: an existing folder is fine, anything else in the way is an error.
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return { false, false, ErrorText(errno) };
        if (end == std::string::npos)
            break;
    }
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return { false, false, ErrorText(errno) };
    if (!S_ISDIR(st.st_mode))
        return { false, false, ErrorText(ENOTDIR) };
    return { true, false, {} };
}

WriteOutcome PosixPlatform::WriteNewFile(const std::string& path, std::string_view bytes)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0)
        return { false, true, {} }; // taken: spare writing a copy only to throw it away
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);

    // A name of our own beside the target: the rename then stays within one file system, and a
    // crash leaves only a dot file that is plainly not a restored copy.
    thread_local std::mt19937_64 random { std::random_device {}() };
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%016llx",
                      static_cast<unsigned long long>(random()));
        temporary = folder + ".filemend-" + suffix + ".part";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0 && errno != EEXIST)
            return { false, false, ErrorText(errno) };
    }
    if (fd < 0)
        return { false, false, ErrorText(EEXIST) };

    FileDescriptor file(fd);
    int error = 0;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    // close() may be the first to report a delayed write error on some file systems.
    if (error == 0 && ::close(file.release()) != 0)
        error = errno;
    if (error == 0)
        error = TakeName(temporary, path);
    if (error != 0) {
        ::unlink(temporary.c_str());
        if (error == EEXIST)
            return { false, true, {} };
        return { false, false, ErrorText(error) };
    }
    // The new name is durable only once its folder is synced too.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
    return { true, false, {} };
}

} // namespace platform::posix

namespace platform {
std::unique_ptr<Platform> CreateNativePlatform() { return std::make_unique<posix::PosixPlatform>(); }
}
