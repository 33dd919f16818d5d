#include "tests/hostile/hostiletree.h"

#include "tests/results/previewfixtures.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace hostile {

namespace {

constexpr int kChainDepth = 1000;
constexpr std::uintmax_t kGiB = std::uintmax_t { 1 } << 30;

void Require(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error("cannot build the hostile tree: " + what + ": " + std::strerror(errno));
}

void MakeSocket(const std::string& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    Require(path.size() < sizeof address.sun_path, "socket path too long");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    Require(fd >= 0, "socket");
    // The bound name stays on disk after the descriptor is closed: a socket nobody listens on.
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    Require(bound, "bind " + path);
}

} // namespace

std::string DamagedDocument() { return fixtures::Damage("%PDF-1.4" + std::string(292, 'p')); }

std::string HostileTree::Add(const std::string& relative, const std::string& content, bool listed)
{
    const std::string path = m_tree.Write(relative, content);
    if (listed)
        m_listed.insert(path);
    else
        m_unlisted.push_back(path);
    return path;
}

HostileTree::HostileTree()
{
    const auto gradient = [](int x, int y) { return fixtures::Gradient(x, y, 120, 80); };
    Add("plain.doc", DamagedDocument(), true);
    Add("photo.jpg", fixtures::Damage(fixtures::EncodeJpeg({ 120, 80 }, gradient)), true);
    fixtures::GifFrame frame { 0, 0, 8, 8, true, 1, std::vector<std::uint8_t>(64, 2) };
    Add("anim.gif",
        fixtures::Damage(fixtures::EncodeGif(
            { true, 8, 8, { { 0, 0, 0 }, { 9, 9, 9 }, { 200, 0, 0 }, { 0, 0, 200 } }, { frame },
              std::string(200, 'c') })),
        true);
    Add("healthy.pdf", "%PDF-1.4" + std::string(292, 'p'), false);

    // Special files and links, each with a name that the pattern selects.
    const fs::path root = m_tree.root();
    m_tree.MakeDir("special");
    const std::string fifo = (root / "special/fifo.doc").string();
    Require(::mkfifo(fifo.c_str(), 0644) == 0, "mkfifo");
    MakeSocket((root / "special/socket.doc").string());
    fs::create_directory_symlink(root, root / "special/loop");
    fs::create_symlink(root / "special/gone.doc", root / "special/dangling.doc");
    fs::create_symlink(root / "plain.doc", root / "special/link.doc");
    for (const char* name : { "fifo.doc", "socket.doc", "loop", "dangling.doc", "link.doc" })
        m_unlisted.push_back((root / "special" / name).string());

    // Without permissions: only a user who reads them anyway (root) lists them.
    m_locked.insert(m_tree.Write("locked/inside.doc", DamagedDocument()));
    m_locked.insert(m_tree.Write("lockedfile.doc", DamagedDocument()));
    Require(::chmod((root / "locked").c_str(), 0) == 0, "chmod locked");
    Require(::chmod((root / "lockedfile.doc").c_str(), 0) == 0, "chmod lockedfile.doc");

    std::string chain;
    for (int i = 0; i < kChainDepth; ++i)
        chain += "d/";
    Add(chain + "bottom.doc", DamagedDocument(), true);

    Add(std::string(251, 'n') + ".doc", DamagedDocument(), true); // 255 bytes, the longest name
    Add(std::string(255, 'f') + "/x.doc", DamagedDocument(), true);
    std::string wide;
    for (int i = 0; i < 83; ++i)
        wide += "\xe6\x96\x87"; // 83 three-byte characters and ".doc": 253 bytes
    Add(wide + ".doc", DamagedDocument(), true);

    // Not valid UTF-8: stray bytes, a broken sequence, and a name in the Chinese ANSI code page.
    Add("\xff\xfe.doc", DamagedDocument(), true);
    Add("\xc3(/b.doc", DamagedDocument(), true);
    Add("\xd5\xd5\xc6\xac.doc", DamagedDocument(), true);

    // Sparse giants whose head is damaged: a size cut to 32 bits (5 GiB -> 1 GiB, 4 GiB + 100 ->
    // 100) would fall inside the window of checked sizes and list them.
    for (const auto& [name, size] : { std::pair { "big/five.doc", 5 * kGiB },
                                      std::pair { "big/four.doc", 4 * kGiB + 100 } }) {
        const std::string path = Add(name, DamagedDocument(), false);
        fs::resize_file(path, size);
    }
    m_tree.MakeDir("churn");
}

std::set<std::string> HostileTree::ExpectedRows(bool readsLockedEntries) const
{
    std::set<std::string> rows = m_listed;
    if (readsLockedEntries)
        rows.insert(m_locked.begin(), m_locked.end());
    return rows;
}

std::vector<std::string> HostileTree::PreviewPaths() const
{
    std::vector<std::string> paths = m_unlisted;
    paths.insert(paths.end(), m_locked.begin(), m_locked.end());
    return paths;
}

void HostileTree::OpenToOthers() const
{
    // mkdtemp made the root private; everything below has the usual permissions.
    fs::permissions(m_tree.root(), fs::perms::owner_all | fs::perms::group_read
                        | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
}

void HostileTree::StartChurn()
{
    m_churn = std::jthread([this](std::stop_token stop) { Churn(stop); });
}

void HostileTree::StopChurn()
{
    m_churn.request_stop();
    if (m_churn.joinable())
        m_churn.join();
}

void HostileTree::Churn(std::stop_token stop) const
{
    const fs::path folder = churnFolder();
    const std::string damaged = DamagedDocument();
    const std::string chunk(64 << 10, 'g');
    for (unsigned i = 0; !stop.stop_requested(); ++i) {
        std::error_code ignored;
        std::ofstream(folder / ("v" + std::to_string(i % 64) + ".doc"), std::ios::binary) << damaged;
        fs::remove(folder / ("v" + std::to_string((i + 32) % 64) + ".doc"), ignored);
        const fs::path sub = folder / ("vd" + std::to_string(i % 8));
        fs::create_directory(sub, ignored);
        std::ofstream(sub / "x.doc", std::ios::binary) << damaged;
        fs::remove_all(folder / ("vd" + std::to_string((i + 4) % 8)), ignored);
        // Grows past the largest checked size, then starts over from a damaged head.
        const fs::path grow = folder / "grow.doc";
        if (fs::file_size(grow, ignored) > (8u << 20) || ignored)
            std::ofstream(grow, std::ios::binary) << damaged;
        else
            std::ofstream(grow, std::ios::binary | std::ios::app) << chunk;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

} // namespace hostile
