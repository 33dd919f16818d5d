#pragma once

#include "results/repairpreview.h"

#include <QImage>
#include <QObject>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {
class Platform;
}

namespace results {

// Reads, restores and decodes one file at a time on a thread of its own, so that a large picture
// never holds up the window. Only the newest request counts: a request that is overtaken before it
// starts is skipped, and a result for a request that is no longer the newest is never delivered.
class PreviewController : public QObject
{
    Q_OBJECT

public:
    PreviewController(platform::Platform& platform, int panelWidth, int panelHeight,
                      QObject* parent = nullptr);
    ~PreviewController() override;

    void Request(const std::string& path);

signals:
    // Raised on the GUI thread for the newest request only. picture is null unless outcome is Image.
    void previewFinished(const std::string& path, results::PreviewOutcome outcome,
                         const QImage& picture);

private:
    struct Job
    {
        unsigned generation = 0;
        std::string path;
    };

    void Work(std::stop_token stop);
    void Deliver(unsigned generation, const std::string& path, PreviewOutcome outcome,
                 const QImage& picture);

    platform::Platform& m_platform;
    const int m_panelWidth;
    const int m_panelHeight;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::optional<Job> m_pending;
    unsigned m_newest = 0; // GUI thread only
    std::jthread m_worker;
};

} // namespace results
