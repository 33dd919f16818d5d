#pragma once

#include "tests/support/forwardingplatform.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// The real platform, with folder listings sorted by name so that walks come out in a known order,
// and a record of what the engine asked for. Hooks let a test act at a chosen moment.
class RecordingPlatform final : public ForwardingPlatform
{
public:
    std::unique_ptr<platform::DirectoryReader> OpenDirectory(
        const std::string& path, bool followLinks) override
    {
        {
            std::lock_guard lock(m_mutex);
            opens.push_back({ path, followLinks });
        }
        if (unreadable.count(path))
            return nullptr;
        auto real = m_real.OpenDirectory(path, followLinks);
        if (!real)
            return nullptr;
        return std::make_unique<SortedReader>(std::move(real), *this);
    }

    platform::FileHead ReadHead(const std::string& path, std::size_t maxBytes) override
    {
        {
            std::lock_guard lock(m_mutex);
            heads.push_back(path);
        }
        if (beforeReadHead)
            beforeReadHead(path);
        return m_real.ReadHead(path, maxBytes);
    }

    // Records the files whose head was read: those whose length lay within the bounds.
    platform::FileHead ReadHeadIfLength(const std::string& path, std::size_t maxBytes,
        std::uint64_t minLength, std::uint64_t maxLength) override
    {
        if (beforeReadHead)
            beforeReadHead(path);
        platform::FileHead head = m_real.ReadHeadIfLength(path, maxBytes, minLength, maxLength);
        if (head.opened && head.length >= minLength && head.length <= maxLength) {
            std::lock_guard lock(m_mutex);
            heads.push_back(path);
        }
        return head;
    }

    void ResetFolderAttributes(const std::string& path) override
    {
        {
            std::lock_guard lock(m_mutex);
            resets.push_back(path);
        }
        m_real.ResetFolderAttributes(path);
    }

    std::vector<std::string> Heads()
    {
        std::lock_guard lock(m_mutex);
        return heads;
    }

    struct Open
    {
        std::string path;
        bool followLinks;
    };
    std::vector<Open> opens;
    std::vector<std::string> heads; // files whose head was read, in order
    std::vector<std::string> resets; // folders whose attributes were reset, in order
    std::set<std::string> unreadable; // folder paths whose enumeration fails
    std::function<void(const std::string&)> beforeReadHead;
    int liveReaders = 0;
    int mostLiveReaders = 0;

private:
    class SortedReader final : public platform::DirectoryReader
    {
    public:
        SortedReader(std::unique_ptr<platform::DirectoryReader> real, RecordingPlatform& owner)
            : m_real(std::move(real))
            , m_owner(owner)
        {
            platform::DirectoryEntry entry;
            while (m_real->Next(entry))
                m_entries.push_back(entry);
            std::sort(m_entries.begin(), m_entries.end(),
                [](const auto& a, const auto& b) { return a.name < b.name; });
            m_owner.mostLiveReaders = std::max(m_owner.mostLiveReaders, ++m_owner.liveReaders);
        }
        ~SortedReader() override { --m_owner.liveReaders; }

        bool Next(platform::DirectoryEntry& entry) override
        {
            if (m_next == m_entries.size())
                return false;
            entry = m_entries[m_next++];
            return true;
        }
        std::optional<std::uint64_t> EntrySize(const std::string& name) override
        {
            return m_real->EntrySize(name);
        }

    private:
        std::unique_ptr<platform::DirectoryReader> m_real;
        RecordingPlatform& m_owner;
        std::vector<platform::DirectoryEntry> m_entries;
        std::size_t m_next = 0;
    };

    std::mutex m_mutex;
};

} // namespace testsupport
