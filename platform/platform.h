#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The operating system behind one small interface. Nothing above this folder calls the OS directly;
// tests substitute a fake to see what the engine asks of the system.
namespace platform {

enum class EntryKind {
    Regular,
    Directory,
    Other, // symbolic links, FIFOs, sockets, devices: never followed, never opened
};

struct DirectoryEntry
{
    std::string name;
    EntryKind kind = EntryKind::Other;
};

// One open enumeration of a folder. "." and ".." are reported like any other folder entry.
class DirectoryReader
{
public:
    virtual ~DirectoryReader() = default;
    // False when the enumeration is exhausted or failed.
    virtual bool Next(DirectoryEntry& entry) = 0;
    // The 64-bit size of an entry of this folder, the entry itself (links not followed).
    virtual std::optional<std::uint64_t> EntrySize(const std::string& name) = 0;
};

// What a read-only open of a regular file gave.
struct FileHead
{
    bool opened = false;      // false: missing, unreadable, or not a regular file
    std::uint64_t length = 0; // the file's length when opened
    std::string bytes;        // the first bytes; fewer when the read failed or the file is short
};

inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeSystem = 0x04;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
inline constexpr std::uint32_t kAttributeNormal = 0x80; // a file without any other attribute
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

enum class SendResult {
    Sent,
    NoListener, // no socket there, or nobody accepts on it
    Refused,    // the socket or its folder may not be reached by this user
    Failed,     // connected, but the bytes could not all be written
};

// Which object a path leads to, links followed: two paths name the same folder exactly when these
// are equal, whatever their spelling.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The result of a write to the destination of restored copies.
struct WriteOutcome
{
    bool ok = false;
    bool exists = false;  // the target name is taken; nothing was written
    std::string error;    // the system's reason when neither ok nor exists
};

class Platform
{
public:
    virtual ~Platform() = default;

    // Roots of the file systems a user can scan, each ending in the separator, in the system's order.
    virtual std::vector<std::string> DriveRoots() = 0;
    // The root of the running system, which a scan refuses.
    virtual std::string SystemRoot() = 0;
    // True when path names the system root in any spelling, or is empty.
    virtual bool IsSystemRoot(const std::string& path) = 0;
    virtual char Separator() const = 0;

    virtual void EnableDebugPrivilege() = 0;
    virtual void TrimWorkingSet() = 0;

    // followLinks only for the root a user names; the walk never follows a link below it.
    virtual std::unique_ptr<DirectoryReader> OpenDirectory(const std::string& path,
                                                           bool followLinks)
        = 0;
    // Opens a regular file read-only and reads at most maxBytes from its start.
    virtual FileHead ReadHead(const std::string& path, std::size_t maxBytes) = 0;
    // ReadHead that reads nothing unless the file's length lies within [minLength, maxLength]; the
    // length is reported either way. One open and one status query per file: a size query of its
    // own before ReadHead would cost a further system call for every file of a scan.
    virtual FileHead ReadHeadIfLength(const std::string& path, std::size_t maxBytes,
                                      std::uint64_t minLength, std::uint64_t maxLength)
    {
        FileHead head = ReadHead(path, maxBytes);
        if (head.length < minLength || head.length > maxLength)
            head.bytes.clear();
        return head;
    }
    // Reads a whole regular file of at most maxBytes; nullopt when it is missing, unreadable, not a
    // regular file, or larger.
    virtual std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t maxBytes)
        = 0;
    // Resets a folder to the plain archive attribute where the file system keeps DOS attributes.
    virtual void ResetFolderAttributes(const std::string& path) = 0;

    // Whether a standard stream (1 output, 2 error) is a terminal, where progress may be drawn.
    // Not pure so that test doubles need not care.
    virtual bool IsTerminal(int /*stream*/) { return false; }
    // Whether the process runs with the administrator's rights (root on POSIX).
    virtual bool RunsAsAdministrator() { return false; }

    // The DOS attribute word of a path, links followed: where the file system keeps one (FAT, NTFS)
    // the real word, elsewhere kAttributeDirectory for a folder and kAttributeNormal for anything
    // else. kInvalidAttributes when the path cannot be examined.
    virtual std::uint32_t FileAttributes(const std::string& /*path*/) { return kInvalidAttributes; }

    // The folder that holds this user's local sockets of the program. Nothing is created.
    virtual std::string RuntimeFolder() { return {}; }
    // Creates path with mode 0700 when it is missing, then checks it as IsPrivateFolder does.
    virtual bool MakePrivateFolder(const std::string& /*path*/) { return false; }
    // True only for a real folder (a link is never followed) owned by this user that nobody else
    // may enter, read or write.
    virtual bool IsPrivateFolder(const std::string& /*path*/) { return false; }
    // Whether the process at the other end of a connected local socket runs as this user.
    virtual bool PeerIsSameUser(int /*socketDescriptor*/) { return false; }
    // Connects to the local socket at socketPath, writes all of bytes and closes.
    virtual SendResult SendLocalMessage(const std::string& /*socketPath*/,
                                        std::string_view /*bytes*/)
    {
        return SendResult::NoListener;
    }

    // The operations below serve filemend-scan's copies and reports; the defaults behave like a
    // system that supports none of them.

    // The DOS attributes of a folder (links not followed); nullopt where the file system keeps none.
    virtual std::optional<std::uint32_t> FolderAttributes(const std::string& /*path*/)
    {
        return std::nullopt;
    }
    // The canonical absolute path of an existing path, links resolved; nullopt when it is missing.
    virtual std::optional<std::string> RealPath(const std::string& /*path*/) { return std::nullopt; }
    virtual std::optional<FileIdentity> Identity(const std::string& /*path*/) { return std::nullopt; }
    // Creates a folder and every missing folder above it; ok when it exists as a folder afterwards.
    virtual WriteOutcome CreateFolderPath(const std::string& /*path*/)
    {
        return { false, false, "not supported" };
    }
    // Creates path with exactly these bytes, or nothing at all: the bytes go to a temporary file in
    // the same folder, reach the disk, and only then take the name, which is never taken from an
    // existing file (exists is set instead).
    virtual WriteOutcome WriteNewFile(const std::string& /*path*/, std::string_view /*bytes*/)
    {
        return { false, false, "not supported" };
    }
};

// The implementation for the platform this program was built for.
std::unique_ptr<Platform> CreateNativePlatform();

} // namespace platform
