#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace scan {

// Whether a walk may go on: written by the thread that controls the scan, read by the walk between
// files. Ending also releases a paused walk; nothing is ever suspended or killed from outside.
class ScanGate
{
public:
    void Reset(); // running, not paused: the state a new scan starts in
    void Pause();
    void Continue();
    void End(); // also releases a paused walk

    [[nodiscard]] bool Proceed(); // false once ended; blocks while paused
    [[nodiscard]] bool Running() const; // false once ended; never blocks
    [[nodiscard]] bool Paused() const;

private:
    std::atomic<bool> m_paused { false };
    std::atomic<bool> m_ended { false };
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

} // namespace scan
