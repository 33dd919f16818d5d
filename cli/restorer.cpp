#include "cli/restorer.h"

#include <vector>

namespace cli {

namespace {

    // Past this many taken names something is wrong with the folder; give up on the file.
    constexpr int kMaxNumberedNames = 9999;

} // namespace

Restorer::Restorer(platform::Platform& platform, std::string destination)
    : m_platform(platform)
    , m_destination(std::move(destination))
    , m_separator(platform.Separator())
{
    while (m_destination.size() > 1 && m_destination.back() == m_separator)
        m_destination.pop_back();
}

std::optional<std::string> Restorer::ResolvedDestination()
{
    std::string existing = m_destination;
    std::vector<std::string> missing; // innermost last
    for (;;) {
        if (auto real = m_platform.RealPath(existing.empty() ? "." : existing)) {
            existing = *real;
            break;
        }
        if (existing.empty())
            return std::nullopt; // not even the working folder resolves
        const std::size_t slash = existing.rfind(m_separator);
        if (slash == std::string::npos) {
            missing.push_back(existing);
            existing.clear();
        } else {
            missing.push_back(existing.substr(slash + 1));
            existing.resize(slash);
            if (slash == 0) // an absolute path whose first level is missing
                existing = std::string(1, m_separator);
        }
    }
    for (auto part = missing.rbegin(); part != missing.rend(); ++part) {
        if (part->empty() || *part == ".")
            continue;
        if (*part == "..") {
            // The level above was created a moment ago by the same path: ".." is its parent.
            const std::size_t slash = existing.rfind(m_separator);
            existing.resize(slash == 0 ? 1 : slash);
            continue;
        }
        if (existing.back() != m_separator)
            existing += m_separator;
        existing += *part;
    }
    return existing;
}

std::optional<std::string> Restorer::Prepare(const std::string& root)
{
    const std::optional<platform::FileIdentity> rootIdentity = m_platform.Identity(root);
    if (!rootIdentity)
        return "cannot examine the scanned folder " + root;
    const std::optional<std::string> resolved = ResolvedDestination();
    if (!resolved)
        return "cannot resolve " + m_destination;
    // Every existing level of the destination is compared with the root by identity, not by name:
    // two spellings of one folder, a link or a bind mount all compare equal.
    std::string level = *resolved;
    for (;;) {
        const std::optional<platform::FileIdentity> identity = m_platform.Identity(level);
        if (identity && *identity == *rootIdentity)
            return m_destination + " lies inside the scanned folder " + root
                + "; restored copies would be scanned and could mix with the originals";
        const std::size_t slash = level.rfind(m_separator);
        if (slash == std::string::npos || level.size() == 1)
            break;
        level.resize(slash == 0 ? 1 : slash);
    }
    const platform::WriteOutcome created = m_platform.CreateFolderPath(m_destination);
    if (!created.ok)
        return "cannot create " + m_destination + ": " + created.error;
    return std::nullopt;
}

std::string Restorer::NumberedName(std::string_view name, int n)
{
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        dot = name.size();
    return std::string(name.substr(0, dot)) + " (" + std::to_string(n) + ")"
        + std::string(name.substr(dot));
}

RestoreOutcome Restorer::Restore(std::string_view relativePath, std::string_view bytes)
{
    using Kind = RestoreOutcome::Kind;
    const std::string target = m_destination + m_separator + std::string(relativePath);
    const std::size_t slash = target.rfind(m_separator);
    const std::string folder = target.substr(0, slash);
    const std::string name = target.substr(slash + 1);

    const platform::WriteOutcome created = m_platform.CreateFolderPath(folder);
    if (!created.ok)
        return { Kind::Failed, "cannot create " + folder + ": " + created.error };
    for (int n = 0; n <= kMaxNumberedNames; ++n) {
        const std::string path = n == 0 ? target : folder + m_separator + NumberedName(name, n);
        const platform::WriteOutcome written = m_platform.WriteNewFile(path, bytes);
        if (written.ok)
            return { Kind::Restored, path };
        if (!written.exists)
            return { Kind::Failed, "cannot write " + path + ": " + written.error };
    }
    return { Kind::Failed, "every numbered name beside " + target + " is taken" };
}

} // namespace cli
