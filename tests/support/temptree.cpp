#include "tests/support/temptree.h"

#include <fstream>
#include <stdexcept>

#include <stdlib.h>

namespace testsupport {

TempTree::TempTree()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "filemend-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_root = pattern;
}

TempTree::~TempTree()
{
    std::error_code ignored;
    // Tests may leave folders without permissions behind; give them back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_root, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(m_root, ignored);
}

std::string TempTree::Write(const std::string& relative, std::string_view content) const
{
    const auto path = m_root / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return path.string();
}

std::string TempTree::MakeDir(const std::string& relative) const
{
    const auto path = m_root / relative;
    std::filesystem::create_directories(path);
    return path.string();
}

} // namespace testsupport
