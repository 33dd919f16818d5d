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

// Walks path depth first: in each folder the regular files that match pattern come first, in the
// order the file system lists them, then each sub-folder, whose attributes are reset before it is
// walked. Names beginning with '.' are skipped as sub-folders; links and special files are never
// followed or opened. The root is never reset. Returns when the walk is over or the gate ended it.
void WalkFolder(platform::Platform& platform, const std::string& path, const std::string& pattern,
    ScanGate& gate, WalkSink& sink);

} // namespace scan
