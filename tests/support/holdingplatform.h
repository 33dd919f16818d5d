#pragma once

#include "tests/support/forwardingplatform.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

namespace testsupport {

// The real platform, except that reads of a chosen file wait until the test lets them go, so that a
// test can hold a walk or a decode at a known point without sleeping.
class HoldingPlatform final : public ForwardingPlatform
{
public:
    // Reads of any path containing part wait at the hold from now on.
    void HoldReadsOf(const std::string& part)
    {
        std::lock_guard lock(m_mutex);
        m_holdPart = part;
        m_released = false;
    }
    void Release()
    {
        {
            std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_wake.notify_all();
    }
    // Blocks until a read is waiting at the hold.
    void WaitUntilHeld()
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_waiting > 0; });
    }
    int heads() const { return m_heads; }
    int wholeReads() const { return m_wholeReads; }

    platform::FileHead ReadHead(const std::string& path, std::size_t maxBytes) override
    {
        Hold(path);
        ++m_heads;
        return m_real.ReadHead(path, maxBytes);
    }
    platform::FileHead ReadHeadIfLength(const std::string& path, std::size_t maxBytes,
                                        std::uint64_t minLength, std::uint64_t maxLength) override
    {
        Hold(path);
        ++m_heads;
        return m_real.ReadHeadIfLength(path, maxBytes, minLength, maxLength);
    }
    std::optional<std::string> ReadWholeFile(const std::string& path,
                                             std::uint64_t maxBytes) override
    {
        Hold(path);
        ++m_wholeReads;
        return m_real.ReadWholeFile(path, maxBytes);
    }
private:
    void Hold(const std::string& path)
    {
        std::unique_lock lock(m_mutex);
        if (m_holdPart.empty() || path.find(m_holdPart) == std::string::npos)
            return;
        ++m_waiting;
        m_wake.notify_all();
        m_wake.wait(lock, [this] { return m_released; });
        --m_waiting;
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_holdPart;
    bool m_released = true;
    int m_waiting = 0;
    std::atomic<int> m_heads { 0 };
    std::atomic<int> m_wholeReads { 0 };
};

} // namespace testsupport
