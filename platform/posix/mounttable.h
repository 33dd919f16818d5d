#pragma once

#include <istream>
#include <string>
#include <vector>

namespace platform::posix {

// Mount points of real file systems in a mounts table (the format of /proc/self/mounts), each
// ending in "/", in the order listed. Pseudo file systems are left out, and so is a mount point
// listed twice (a later mount over the same place hides the earlier one).
std::vector<std::string> ParseMountTable(std::istream& table);

// Undoes the octal escapes (\040 for a space) that the kernel writes into a mounts table.
std::string UnescapeMountField(const std::string& field);

bool IsPseudoFileSystem(const std::string& type);

} // namespace platform::posix
