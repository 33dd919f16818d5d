#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>
#include <string_view>

namespace cli {

struct RestoreOutcome
{
    enum class Kind
    {
        None, // no restore was asked for
        Restored,
        Skipped,
        Failed,
    };
    Kind kind = Kind::None;
    std::string detail; // where the copy went, or why there is none
};

// Writes restored copies below a destination folder, each under its path relative to the scanned
// root. Never replaces a file: a taken name gets " (1)", " (2)"... before its extension. Safe to
// call from several threads at once once Prepare has succeeded.
class Restorer
{
public:
    Restorer(platform::Platform& platform, std::string destination);

    // Refuses a destination that lies inside the scanned root, in any spelling (links, "..", a
    // mount of the same folder), then creates it. The error text when refused or not creatable.
    [[nodiscard]] std::optional<std::string> Prepare(const std::string& root);

    // relativePath: the file's path below the root, separators included.
    RestoreOutcome Restore(std::string_view relativePath, std::string_view bytes);

    // "name (n).ext" for n > 0; a leading dot does not start an extension.
    [[nodiscard]] static std::string NumberedName(std::string_view name, int n);

private:
    // The real path of the destination as it will be once created: the real path of its deepest
    // existing folder, with the missing rest appended.
    std::optional<std::string> ResolvedDestination();

    platform::Platform& m_platform;
    std::string m_destination;
    const char m_separator;
};

} // namespace cli
