#pragma once

#include "platform/posix/posixplatform.h"

#include <functional>
#include <mutex>
#include <vector>

namespace testsupport {

// The real platform, with hooks that let a test stand in for what the machine cannot show: DOS
// attributes on a file system without them, a destination that runs out of space.
class DelegatingPlatform final : public platform::Platform
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

    std::vector<std::string> DriveRoots() override { return m_real.DriveRoots(); }
    std::string SystemRoot() override { return m_real.SystemRoot(); }
    bool IsSystemRoot(const std::string& path) override { return m_real.IsSystemRoot(path); }
    char Separator() const override { return m_real.Separator(); }
    void EnableDebugPrivilege() override { }
    void TrimWorkingSet() override { }
    std::unique_ptr<platform::DirectoryReader> OpenDirectory(
        const std::string& path, bool followLinks) override
    {
        return m_real.OpenDirectory(path, followLinks);
    }
    platform::FileHead ReadHead(const std::string& path, std::size_t maxBytes) override
    {
        return m_real.ReadHead(path, maxBytes);
    }
    platform::FileHead ReadHeadIfLength(const std::string& path, std::size_t maxBytes,
        std::uint64_t minLength, std::uint64_t maxLength) override
    {
        return m_real.ReadHeadIfLength(path, maxBytes, minLength, maxLength);
    }
    std::optional<std::string> ReadWholeFile(
        const std::string& path, std::uint64_t maxBytes) override
    {
        return m_real.ReadWholeFile(path, maxBytes);
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
    std::optional<std::string> RealPath(const std::string& path) override
    {
        return m_real.RealPath(path);
    }
    std::optional<platform::FileIdentity> Identity(const std::string& path) override
    {
        return m_real.Identity(path);
    }
    platform::WriteOutcome CreateFolderPath(const std::string& path) override
    {
        return m_real.CreateFolderPath(path);
    }
    platform::WriteOutcome WriteNewFile(const std::string& path, std::string_view bytes) override
    {
        if (writeNewFile)
            if (auto outcome = writeNewFile(path, bytes))
                return *outcome;
        return m_real.WriteNewFile(path, bytes);
    }

private:
    platform::posix::PosixPlatform m_real;
    std::mutex m_mutex;
    std::vector<std::string> m_resets;
};

} // namespace testsupport
