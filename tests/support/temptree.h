#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// A temporary folder that tests build their trees in; removed with everything below it.
class TempTree
{
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    // The root as the engine spells a folder path: with a trailing separator.
    std::string rootText() const { return m_root.string() + "/"; }
    // Writes a file (and its folders) below the root; returns its full path.
    std::string Write(const std::string& relative, std::string_view content) const;
    std::string MakeDir(const std::string& relative) const;

private:
    std::filesystem::path m_root;
};

} // namespace testsupport
