#include "tests/support/treesnapshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {

std::string ReadContent(const std::string& path, std::uintmax_t size)
{
    std::string content;
    // O_NONBLOCK against a special file that took the place of a regular one meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return "<unreadable>";
    content.resize(size);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::read(fd, content.data() + done, content.size() - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    content.resize(done);
    ::close(fd);
    return content;
}

} // namespace

TreeSnapshot TakeSnapshot(const std::filesystem::path& root, const std::string& skipPart)
{
    namespace fs = std::filesystem;
    TreeSnapshot snapshot;
    std::error_code error;
    // Folders that cannot be entered are recorded themselves but not descended into, so a snapshot
    // taken by an unprivileged user still covers everything it can see.
    for (auto it = fs::recursive_directory_iterator(
             root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string path = it->path().string();
        if (!skipPart.empty() && path.find(skipPart) != std::string::npos) {
            it.disable_recursion_pending();
            continue;
        }
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0)
            continue;
        EntryState state;
        state.size = std::uintmax_t(st.st_size);
        state.mtimeSeconds = long(st.st_mtim.tv_sec);
        state.mtimeNanoseconds = st.st_mtim.tv_nsec;
        state.mode = st.st_mode;
        if (S_ISREG(st.st_mode) && state.size <= kContentLimit)
            state.content = ReadContent(path, state.size);
        snapshot[path] = std::move(state);
    }
    return snapshot;
}

std::vector<std::string> ChangedPaths(const TreeSnapshot& before, const TreeSnapshot& after)
{
    std::vector<std::string> changed;
    for (const auto& [path, state] : before) {
        const auto found = after.find(path);
        if (found == after.end() || !(found->second == state))
            changed.push_back(path);
    }
    for (const auto& [path, state] : after)
        if (!before.contains(path))
            changed.push_back(path);
    return changed;
}

} // namespace testsupport
