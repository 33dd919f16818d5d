#include "platform/posix/mounttable.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string_view>

namespace platform::posix {

bool IsPseudoFileSystem(const std::string& type)
{
    static constexpr std::array<std::string_view, 28> kPseudo {
        "proc",
        "sysfs",
        "tmpfs",
        "devtmpfs",
        "devpts",
        "cgroup",
        "cgroup2",
        "overlay",
        "squashfs",
        "securityfs",
        "debugfs",
        "tracefs",
        "configfs",
        "fusectl",
        "pstore",
        "bpf",
        "mqueue",
        "hugetlbfs",
        "autofs",
        "binfmt_misc",
        "efivarfs",
        "rpc_pipefs",
        "nsfs",
        "ramfs",
        "selinuxfs",
        "fuse.gvfsd-fuse",
        "fuse.portal",
        "nfsd",
    };
    return std::find(kPseudo.begin(), kPseudo.end(), type) != kPseudo.end();
}

std::string UnescapeMountField(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0'
            && field[i + 3] <= '7') {
            out += static_cast<char>(
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> ParseMountTable(std::istream& table)
{
    std::vector<std::string> roots;
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type) || IsPseudoFileSystem(type))
            continue;
        std::string root = UnescapeMountField(mountPoint);
        if (root.empty() || root.front() != '/')
            continue;
        if (root.back() != '/')
            root += '/';
        if (std::find(roots.begin(), roots.end(), root) == roots.end())
            roots.push_back(std::move(root));
    }
    return roots;
}

} // namespace platform::posix
