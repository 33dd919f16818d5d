#pragma once

#include "platform/posix/posixplatform.h"

namespace testsupport {

// The real platform behind every call. Test doubles derive from it and override only what they
// stand in for, so that a new platform operation needs no change in any of them.
class ForwardingPlatform : public platform::Platform
{
public:
    std::vector<std::string> DriveRoots() override { return m_real.DriveRoots(); }
    std::string SystemRoot() override { return m_real.SystemRoot(); }
    bool IsSystemRoot(const std::string& path) override { return m_real.IsSystemRoot(path); }
    char Separator() const override { return m_real.Separator(); }
    // Tests never ask for privileges or trim the process.
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
        m_real.ResetFolderAttributes(path);
    }
    bool IsTerminal(int stream) override { return m_real.IsTerminal(stream); }
    bool RunsAsAdministrator() override { return m_real.RunsAsAdministrator(); }
    std::uint32_t FileAttributes(const std::string& path) override
    {
        return m_real.FileAttributes(path);
    }
    std::string RuntimeFolder() override { return m_real.RuntimeFolder(); }
    bool MakePrivateFolder(const std::string& path) override
    {
        return m_real.MakePrivateFolder(path);
    }
    bool IsPrivateFolder(const std::string& path) override { return m_real.IsPrivateFolder(path); }
    bool PeerIsSameUser(int socketDescriptor) override
    {
        return m_real.PeerIsSameUser(socketDescriptor);
    }
    platform::SendResult SendLocalMessage(
        const std::string& socketPath, std::string_view bytes) override
    {
        return m_real.SendLocalMessage(socketPath, bytes);
    }
    std::optional<std::uint32_t> FolderAttributes(const std::string& path) override
    {
        return m_real.FolderAttributes(path);
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
        return m_real.WriteNewFile(path, bytes);
    }

protected:
    platform::posix::PosixPlatform m_real;
};

} // namespace testsupport
