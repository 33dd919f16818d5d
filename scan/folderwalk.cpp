#include "scan/folderwalk.h"

#include "scan/classifier.h"
#include "scan/wildcard.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace scan {

namespace {

// Open enumerations kept at once. A deeper chain closes its shallowest ones and reopens each when
// the walk climbs back to it, so neither descriptors nor memory (a folder enumeration holds a
// sizeable buffer) grow with the depth beyond one small record per level.
constexpr std::size_t kMaxOpenLevels = 64;

struct Level
{
    std::size_t base = 0; // length of the path up to and including this folder's separator
    bool isRoot = false;
    bool parked = false; // enumeration closed to spare descriptors; reopen and skip `consumed`
    std::uint64_t consumed = 0; // entries of the sub-folder enumeration read so far
    std::unique_ptr<platform::DirectoryReader> folders;
};

class Walker
{
public:
    Walker(platform::Platform& platform, const std::string& pattern, ScanGate& gate, WalkSink& sink,
        const WalkOptions& options)
        : m_platform(platform)
        , m_pattern(pattern)
        , m_gate(gate)
        , m_sink(sink)
        , m_separator(platform.Separator())
        , m_options(options)
    { }

    void Run(const std::string& root)
    {
        m_path = root;
        Enter(true);
        while (!m_levels.empty()) {
            Level& level = m_levels.back();
            m_path.resize(level.base);
            if (!NextSubFolder(level)) {
                m_levels.pop_back();
                m_firstOpen = std::min(m_firstOpen, m_levels.size());
                continue;
            }
            if (m_entry.name.front() == '.')
                continue; // ".", ".." and dot folders are neither reset nor walked
            // Once the scan is ended no further folder is reset or entered; while paused the walk
            // waits here as well as between files, so a pause holds every change on disk.
            if (!m_gate.Proceed())
                return;
            m_path += m_entry.name;
            if (m_options.reportAttributes)
                if (const auto before = m_platform.FolderAttributes(m_path))
                    m_sink.OnFolderAttributes(m_path, *before);
            if (m_options.resetAttributes)
                m_platform.ResetFolderAttributes(m_path);
            if (!m_gate.Proceed())
                return;
            Enter(false);
        }
    }

private:
    // m_path holds the folder's path as its status shows it.
    void Enter(bool isRoot)
    {
        m_sink.OnFolderOrFile(m_path);
        if (m_path.empty() || m_path.back() != m_separator)
            m_path += m_separator;
        CheckFiles(isRoot);

        Level level;
        level.isRoot = isRoot;
        level.base = m_path.size();
        level.folders = Open(isRoot);
        m_levels.push_back(std::move(level));
        if (m_levels.size() - m_firstOpen > kMaxOpenLevels)
            ParkShallowest();
    }

    // Opens the folder that m_path (ending in the separator) names. A sub-folder is opened by its
    // bare name: a trailing separator would make the system follow a link put in its place.
    std::unique_ptr<platform::DirectoryReader> Open(bool isRoot)
    {
        if (isRoot)
            return m_platform.OpenDirectory(m_path, true);
        m_path.pop_back();
        auto reader = m_platform.OpenDirectory(m_path, false);
        m_path += m_separator;
        return reader;
    }

    void CheckFiles(bool isRoot)
    {
        const auto files = Open(isRoot);
        if (!files)
            return;
        const std::size_t base = m_path.size();
        while (files->Next(m_entry)) {
            if (m_entry.kind != platform::EntryKind::Regular
                || !WildcardMatch(m_pattern, m_entry.name))
                continue;
            if (!m_gate.Proceed())
                return;
            m_path += m_entry.name;
            if (m_options.deferFileChecks) {
                m_sink.OnFileToCheck(m_path);
                m_sink.OnFolderOrFile(m_path);
                m_path.resize(base);
                continue;
            }
            // The size comes from the same open that reads the head: a separate size query per
            // file would cost the scan a system call on every file.
            const platform::FileHead head = m_platform.ReadHeadIfLength(
                m_path, kHeadLength, kSmallestChecked, kLargestChecked);
            if (head.length >= kSmallestChecked && head.length <= kLargestChecked
                && ClassifyHead(m_path, head, m_separator))
                m_sink.OnRepairable(m_path);
            m_sink.OnFolderOrFile(m_path);
            m_path.resize(base);
        }
    }

    // Next sub-folder entry of the level into m_entry; false when the enumeration is exhausted.
    bool NextSubFolder(Level& level)
    {
        if (level.parked) {
            level.parked = false;
            m_firstOpen = m_levels.size() - 1;
            level.folders = Open(level.isRoot);
            for (std::uint64_t skipped = 0; level.folders && skipped < level.consumed; ++skipped)
                if (!level.folders->Next(m_entry))
                    level.folders.reset();
        }
        if (!level.folders)
            return false;
        while (level.folders->Next(m_entry)) {
            ++level.consumed;
            if (m_entry.kind == platform::EntryKind::Directory && !m_entry.name.empty())
                return true;
        }
        level.folders.reset();
        return false;
    }

    void ParkShallowest()
    {
        Level& level = m_levels[m_firstOpen++];
        level.parked = level.folders != nullptr; // an exhausted enumeration has nothing to resume
        level.folders.reset();
    }

    platform::Platform& m_platform;
    const std::string& m_pattern;
    ScanGate& m_gate;
    WalkSink& m_sink;
    const char m_separator;
    const WalkOptions& m_options;

    std::string m_path; // one buffer for every path of the walk: no allocation per file
    platform::DirectoryEntry m_entry;
    std::vector<Level> m_levels;
    std::size_t m_firstOpen = 0; // levels below this index are parked or exhausted
};

} // namespace

void WalkFolder(platform::Platform& platform, const std::string& path, const std::string& pattern,
    ScanGate& gate, WalkSink& sink)
{
    WalkFolder(platform, path, pattern, gate, sink, WalkOptions {});
}

void WalkFolder(platform::Platform& platform, const std::string& path, const std::string& pattern,
    ScanGate& gate, WalkSink& sink, const WalkOptions& options)
{
    if (!gate.Proceed())
        return;
    Walker(platform, pattern, gate, sink, options).Run(path);
}

} // namespace scan
