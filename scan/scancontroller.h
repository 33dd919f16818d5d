#pragma once

#include "results/resultrow.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class Platform;
}

namespace scan {

class ScanGate;
class ScanOutbox;

// Runs one walk at a time on a worker thread and brings its rows and status texts to the GUI thread
// in batches, at most about 30 times a second. Lives on the GUI thread; the worker never touches a
// widget. Destroying the controller ends and joins a running walk.
class ScanController : public QObject
{
    Q_OBJECT

public:
    explicit ScanController(platform::Platform& platform, QObject* parent = nullptr);
    ~ScanController() override;

    // Starts a walk of root for pattern. A walk that still runs is ended and joined first, so that
    // none of its rows reach the new list.
    void Start(const std::string& root, const std::string& pattern);
    void Pause();
    void Continue();
    // Asks the walk to stop at its next test; it finishes on its own. Its later status texts are
    // dropped: what the user sees last is what the caller sets after ending.
    void End();
    // Ends a running walk and waits for it; the only place the GUI thread waits on the worker.
    void Join();

    bool IsRunning() const;

signals:
    void rowsFound(std::vector<results::ResultRow> rows);
    void statusChanged(const QString& text);
    // The walk has returned; endedByUser is true when End() stopped it.
    void finished(bool endedByUser);

private:
    void Drain();

    platform::Platform& m_platform;
    std::unique_ptr<ScanOutbox> m_outbox;
    std::unique_ptr<ScanGate> m_gate;
    std::jthread m_worker;
    QTimer m_drainTimer;
    bool m_paused = false;
    bool m_ended = false;
};

} // namespace scan
