#include "platform/posix/posixplatform.h"

#include "platform/posix/mounttable.h"

#include <cerrno>
#include <fstream>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <malloc.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
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

} // namespace platform::posix

namespace platform {
std::unique_ptr<Platform> CreateNativePlatform() { return std::make_unique<posix::PosixPlatform>(); }
}
