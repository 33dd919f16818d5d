#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <string>
#include <vector>

namespace scan {

// Rebuilds driveList with every root the system reports, in its order; returns how many.
std::size_t FillDriveList(platform::Platform& platform, std::vector<std::string>& driveList);

} // namespace scan
