#pragma once

#include "platform/platform.h"
#include "scan/scangate.h"
#include "scan/walksink.h"

#include <cstdint>
#include <string>

namespace scan {

// Files outside this window, both ends inclusive, are not handed to the classifier.
inline constexpr std::uint64_t kSmallestChecked = 10;
inline constexpr std::uint64_t kLargestChecked = 5481600;

// What a walk may do besides the window's walk; the defaults are the window's walk.
struct WalkOptions
{
    bool resetAttributes = true; // false: a dry run that changes nothing on disk
    bool reportAttributes = false; // read each sub-folder's attributes first and report them
    bool deferFileChecks = false; // hand matching files to the sink instead of classifying them
};

// Walks path depth first: in each folder the regular files that match pattern come first, in the
// order the file system lists them, then each sub-folder, whose attributes are reset before it is
// walked. Names beginning with '.' are skipped as sub-folders; links and special files are never
// followed or opened. The root is never reset. Returns when the walk is over or the gate ended it.
void WalkFolder(platform::Platform& platform, const std::string& path, const std::string& pattern,
    ScanGate& gate, WalkSink& sink);
void WalkFolder(platform::Platform& platform, const std::string& path, const std::string& pattern,
    ScanGate& gate, WalkSink& sink, const WalkOptions& options);

} // namespace scan
