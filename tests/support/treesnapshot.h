#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

// Content, size and modification time of every entry below a folder, links not followed. Only the
// content of regular files up to kContentLimit is kept; a larger file (a sparse giant) is compared
// by size and time, and special files are never opened.
struct EntryState
{
    std::string content;
    std::uintmax_t size = 0;
    long mtimeSeconds = 0;
    long mtimeNanoseconds = 0;
    unsigned mode = 0;
    friend bool operator==(const EntryState&, const EntryState&) = default;
};

using TreeSnapshot = std::map<std::string, EntryState>;

inline constexpr std::uintmax_t kContentLimit = 64u << 20;

// Entries whose path contains skipPart (when not empty) are left out, for folders that a test
// changes on purpose while the scan runs.
TreeSnapshot TakeSnapshot(const std::filesystem::path& root, const std::string& skipPart = {});

// The paths that appeared, vanished or changed between two snapshots, so that a failure names them.
std::vector<std::string> ChangedPaths(const TreeSnapshot& before, const TreeSnapshot& after);

} // namespace testsupport
