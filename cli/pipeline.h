#pragma once

#include "cli/restorer.h"
#include "platform/platform.h"
#include "results/inversionverdict.h"
#include "scan/folderwalk.h"

#include <cstdint>
#include <functional>
#include <string>

namespace cli {

struct FileCheck
{
    bool listed = false; // the classifier's verdict: the row the window would show
    std::uint64_t size = 0;
    results::InversionVerdict verdict;
    results::DecodeCheck decodes = results::DecodeCheck::NotApplicable;
    RestoreOutcome restore;
};

// What happens to one file that the walk hands over. Stateless apart from the restorer, so any
// number of threads may call Check at once.
class FileChecker
{
public:
    // rootPrefixLength: the length of the root as the walk spells it, separator included, so that
    // path.substr(rootPrefixLength) is the file's path below the root.
    FileChecker(platform::Platform& platform, bool verify, Restorer* restorer,
        std::size_t rootPrefixLength);

    [[nodiscard]] FileCheck Check(const std::string& path) const;

private:
    platform::Platform& m_platform;
    const bool m_verify;
    Restorer* const m_restorer;
    const std::size_t m_rootPrefixLength;
};

struct WalkItem
{
    enum class Kind
    {
        File,
        Folder,
    };
    Kind kind = Kind::File;
    std::string path;
    std::uint32_t attributesBefore = 0; // folders only
    FileCheck check; // files only
};

// Walks root on one thread while `threads` workers check its files, and hands every file and every
// folder whose attributes were reported to deliver on the calling thread, in exactly the walk's
// order. threads <= 1 runs everything on the calling thread. The options' deferFileChecks is set
// here.
void RunPipeline(platform::Platform& platform, const std::string& root, const std::string& pattern,
    scan::WalkOptions options, const FileChecker& checker, int threads,
    const std::function<void(WalkItem&)>& deliver);

} // namespace cli
