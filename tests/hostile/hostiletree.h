#pragma once

#include "tests/support/temptree.h"

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace hostile {

// A tree of everything an infected drive may hold that a scan must survive: special files, links
// that loop or lead nowhere, entries without permissions, a very deep chain, the longest names,
// names that are not UTF-8, and sparse giants just past the size limits. Every other damaged file
// sits at a known place, so a scan's list can be compared as a whole.
class HostileTree
{
public:
    HostileTree();

    // The tree's root as the engine spells a folder: with a trailing separator.
    std::string rootText() const { return m_tree.rootText(); }
    const std::filesystem::path& root() const { return m_tree.root(); }

    // The files a scan by this user must list: the ones without permissions only when the user
    // reads them anyway (root).
    std::set<std::string> ExpectedRows(bool readsLockedEntries) const;
    // Paths that a scan may leave out but that a preview request may still name (a report box row
    // can name any file): none of them may hang the preview.
    std::vector<std::string> PreviewPaths() const;

    // Lets every user reach every entry except those locked on purpose.
    void OpenToOthers() const;

    // Files appear, vanish and grow in one folder while the churn runs; what a scan lists from
    // there depends on timing, so IsChurn rows are left out of every comparison.
    void StartChurn();
    void StopChurn();
    bool IsChurn(const std::string& path) const { return path.starts_with(churnFolder()); }
    std::string churnFolder() const { return rootText() + "churn"; }

private:
    std::string Add(const std::string& relative, const std::string& content, bool listed);
    void Churn(std::stop_token stop) const;

    testsupport::TempTree m_tree;
    std::set<std::string> m_listed;
    std::set<std::string> m_locked; // listed only by a user who reads entries without permission
    std::vector<std::string> m_unlisted;
    std::jthread m_churn;
};

// The bytes of a damaged file with no picture inside: no signature survives the inversion.
std::string DamagedDocument();

} // namespace hostile
