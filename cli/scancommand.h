#pragma once

#include "platform/platform.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2; // bad arguments, a missing root, or the system root
inline constexpr int kExitOutputFailed = 1;

struct ScanOptions
{
    std::string pattern = "*.*";
    std::string root;
    bool help = false;
};

struct ParsedArguments
{
    std::optional<ScanOptions> options; // empty when the arguments are bad
    std::string error; // what was wrong, for the user
};

// args: the command line without the program name.
ParsedArguments ParseScanArguments(const std::vector<std::string>& args);

// Runs filemend-scan: one line "N<TAB>可修复<TAB>path" per repairable file on out, in walk order,
// messages on err, and a progress line on err when the platform says it is a terminal. Returns
// the exit code.
int RunScanCommand(platform::Platform& platform, const std::vector<std::string>& args,
    std::ostream& out, std::ostream& err);

extern const char* const kUsage;

} // namespace cli
