#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace scan {

// What a walk reports, on the walk's own thread. The strings are only valid during the call.
class WalkSink
{
public:
    virtual ~WalkSink() = default;
    // Every status text of the walk: a folder's path as the walk received it, then the full path
    // of each file of that folder once the file has been checked.
    virtual void OnFolderOrFile(const std::string& statusText) = 0;
    // A file that the classifier judged repairable; reported before that file's status text.
    virtual void OnRepairable(const std::string& path) = 0;
    // With WalkOptions::deferFileChecks: a file that matched the pattern, handed over unopened for
    // the sink to check; its status text follows at once.
    virtual void OnFileToCheck(const std::string& /*path*/) { }
    // With WalkOptions::reportAttributes: a sub-folder and its DOS attributes before the walk reset
    // them (or would have, without resetAttributes), called before the folder's own status text.
    virtual void OnFolderAttributes(const std::string& /*path*/, std::uint32_t /*before*/) { }
};

} // namespace scan
