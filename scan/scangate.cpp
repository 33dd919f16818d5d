#include "scan/scangate.h"

namespace scan {

void ScanGate::Reset()
{
    {
        std::lock_guard lock(m_mutex);
        m_ended.store(false, std::memory_order_release);
        m_paused.store(false, std::memory_order_release);
    }
    m_wake.notify_all();
}

void ScanGate::Pause()
{
    std::lock_guard lock(m_mutex);
    m_paused.store(true, std::memory_order_release);
}

void ScanGate::Continue()
{
    {
        std::lock_guard lock(m_mutex);
        m_paused.store(false, std::memory_order_release);
    }
    m_wake.notify_all();
}

void ScanGate::End()
{
    {
        std::lock_guard lock(m_mutex);
        m_ended.store(true, std::memory_order_release);
    }
    m_wake.notify_all();
}

bool ScanGate::Proceed()
{
    if (!m_paused.load(std::memory_order_acquire)) // fast path: no lock per file
        return !m_ended.load(std::memory_order_acquire);
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_paused || m_ended; });
    return !m_ended;
}

bool ScanGate::Running() const { return !m_ended.load(std::memory_order_acquire); }

bool ScanGate::Paused() const { return m_paused.load(std::memory_order_acquire); }

} // namespace scan
