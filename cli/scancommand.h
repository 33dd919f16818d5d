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
inline constexpr int kExitRestoreFailed = 3; // the walk finished, but some copy was not written

// Workers when --threads is not given. Measured on two cores (bench/cli_pipeline_bench.sh): two
// workers beside the walker were fastest with a warm cache and well ahead of one with a cold one;
// three gained more cold but lost most of the warm gain to the extra thread.
inline constexpr int kDefaultThreads = 2;
inline constexpr int kMaxThreads = 64;

struct ScanOptions
{
    std::string pattern = "*.*";
    std::string root;
    bool help = false;
    std::optional<std::string> format; // tsv, csv or json; unset: the classic three columns
    bool verify = false;
    std::optional<std::string> restoreTo;
    bool noReset = false;
    bool listHidden = false;
    bool quiet = false;
    int threads = kDefaultThreads;
};

struct ParsedArguments
{
    std::optional<ScanOptions> options; // empty when the arguments are bad
    std::string error; // what was wrong, for the user
};

// args: the command line without the program name.
ParsedArguments ParseScanArguments(const std::vector<std::string>& args);

// Runs filemend-scan: one row per repairable file on out, in walk order (without the options that
// widen it, the classic line "N<TAB>可修复<TAB>path"), messages on err, and a progress line on err
// when the platform says it is a terminal. Returns the exit code.
int RunScanCommand(platform::Platform& platform, const std::vector<std::string>& args,
    std::ostream& out, std::ostream& err);

extern const char* const kUsage;

} // namespace cli
