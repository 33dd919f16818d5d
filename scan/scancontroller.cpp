#include "scan/scancontroller.h"

#include "scan/folderwalk.h"
#include "scan/scangate.h"
#include "scan/walksink.h"

#include <QFile>

#include <mutex>

namespace scan {

namespace {
constexpr int kDrainIntervalMs = 33;
}

// Written by the walk on the worker thread, emptied by the GUI thread's drain timer.
class ScanOutbox final : public WalkSink
{
public:
    void OnFolderOrFile(const std::string& statusText) override
    {
        std::lock_guard lock(m_mutex);
        m_status = statusText;
        m_statusDirty = true;
    }

    void OnRepairable(const std::string& path) override
    {
        std::lock_guard lock(m_mutex);
        m_rows.push_back({ results::RowStatus::Repairable, path });
    }

    void MarkDone()
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }

    struct Taken
    {
        std::vector<results::ResultRow> rows;
        std::optional<std::string> status;
        bool done = false;
    };

    Taken Take()
    {
        Taken taken;
        std::lock_guard lock(m_mutex);
        taken.rows.swap(m_rows);
        if (m_statusDirty)
            taken.status = m_status;
        m_statusDirty = false;
        taken.done = m_done;
        return taken;
    }

    void ForgetStatus()
    {
        std::lock_guard lock(m_mutex);
        m_statusDirty = false;
    }

private:
    std::mutex m_mutex;
    std::vector<results::ResultRow> m_rows;
    std::string m_status;
    bool m_statusDirty = false;
    bool m_done = false;
};

ScanController::ScanController(platform::Platform& platform, QObject* parent)
    : QObject(parent)
    , m_platform(platform)
{
    m_drainTimer.setInterval(kDrainIntervalMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &ScanController::Drain);
}

ScanController::~ScanController() { Join(); }

void ScanController::Start(const std::string& root, const std::string& pattern)
{
    Join();
    m_outbox = std::make_unique<ScanOutbox>();
    m_gate = std::make_unique<ScanGate>();
    m_paused = false;
    m_ended = false;
    m_worker = std::jthread([this, root, pattern, outbox = m_outbox.get(), gate = m_gate.get()] {
        WalkFolder(m_platform, root, pattern, *gate, *outbox);
        outbox->MarkDone();
    });
    m_drainTimer.start();
}

void ScanController::Pause()
{
    m_paused = true;
    if (m_gate)
        m_gate->Pause();
    if (m_outbox)
        m_outbox->ForgetStatus();
}

void ScanController::Continue()
{
    m_paused = false;
    if (m_outbox)
        m_outbox->ForgetStatus();
    if (m_gate)
        m_gate->Continue();
}

void ScanController::End()
{
    m_ended = true;
    if (m_gate)
        m_gate->End();
}

void ScanController::Join()
{
    if (!m_worker.joinable())
        return;
    End();
    m_worker.join();
    m_drainTimer.stop();
    m_outbox.reset();
    m_gate.reset();
}

bool ScanController::IsRunning() const { return m_worker.joinable(); }

void ScanController::Drain()
{
    if (!m_outbox)
        return;
    auto taken = m_outbox->Take();
    if (!taken.rows.empty())
        emit rowsFound(std::move(taken.rows));
    if (taken.status && !m_paused && !m_ended)
        emit statusChanged(QFile::decodeName(QByteArray::fromStdString(*taken.status)));
    if (!taken.done)
        return;
    m_drainTimer.stop();
    m_worker.join();
    m_outbox.reset();
    m_gate.reset();
    emit finished(m_ended);
}

} // namespace scan
