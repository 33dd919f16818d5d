#pragma once

#include "tests/support/forwardingplatform.h"

#include <functional>
#include <mutex>
#include <vector>

namespace testsupport {

// The real platform, with hooks that let a test stand in for what the machine cannot show: DOS
// attributes on a file system without them, a destination that runs out of space.
class DelegatingPlatform final : public ForwardingPlatform
{
public:
    std::function<std::optional<std::uint32_t>(const std::string&)> folderAttributes;
    std::function<std::optional<platform::WriteOutcome>(const std::string&, std::string_view)>
        writeNewFile; // nullopt: let the real write happen

    std::vector<std::string> Resets()
    {
        std::lock_guard lock(m_mutex);
        return m_resets;
    }

    void ResetFolderAttributes(const std::string& path) override
    {
        std::lock_guard lock(m_mutex);
        m_resets.push_back(path);
    }
    std::optional<std::uint32_t> FolderAttributes(const std::string& path) override
    {
        return folderAttributes ? folderAttributes(path) : m_real.FolderAttributes(path);
    }
    platform::WriteOutcome WriteNewFile(const std::string& path, std::string_view bytes) override
    {
        if (writeNewFile)
            if (auto outcome = writeNewFile(path, bytes))
                return *outcome;
        return m_real.WriteNewFile(path, bytes);
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_resets;
};

} // namespace testsupport
