#pragma once

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
};

} // namespace scan
