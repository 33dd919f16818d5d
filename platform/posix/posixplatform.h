#pragma once

#include "platform/platform.h"

namespace platform::posix {

class PosixPlatform final : public Platform
{
public:
    // mountsPath: where the mount table is read from; tests point it elsewhere.
    explicit PosixPlatform(std::string mountsPath = "/proc/self/mounts");

    std::vector<std::string> DriveRoots() override;
    std::string SystemRoot() override { return "/"; }
    bool IsSystemRoot(const std::string& path) override;
    char Separator() const override { return '/'; }

    void EnableDebugPrivilege() override { }
    void TrimWorkingSet() override;

    std::unique_ptr<DirectoryReader> OpenDirectory(const std::string& path,
                                                   bool followLinks) override;
    FileHead ReadHead(const std::string& path, std::size_t maxBytes) override;
    FileHead ReadHeadIfLength(const std::string& path, std::size_t maxBytes,
                              std::uint64_t minLength, std::uint64_t maxLength) override;
    std::optional<std::string> ReadWholeFile(const std::string& path,
                                             std::uint64_t maxBytes) override;
    void ResetFolderAttributes(const std::string& path) override;
    bool IsTerminal(int stream) override;
    bool RunsAsAdministrator() override;
    std::optional<std::uint32_t> FolderAttributes(const std::string& path) override;
    std::optional<std::string> RealPath(const std::string& path) override;
    std::optional<FileIdentity> Identity(const std::string& path) override;
    WriteOutcome CreateFolderPath(const std::string& path) override;
    WriteOutcome WriteNewFile(const std::string& path, std::string_view bytes) override;

    std::uint32_t FileAttributes(const std::string& path) override;
    std::string RuntimeFolder() override;
    bool MakePrivateFolder(const std::string& path) override;
    bool IsPrivateFolder(const std::string& path) override;
    bool PeerIsSameUser(int socketDescriptor) override;
    SendResult SendLocalMessage(const std::string& socketPath, std::string_view bytes) override;

private:
    std::string m_mountsPath;
};

} // namespace platform::posix
