#include "results/previewcontroller.h"

#include "platform/platform.h"

namespace results {

namespace {

QImage ToQImage(const DecodedImage& image)
{
    return QImage(image.pixels.data(), image.width, image.height, image.stride,
                  QImage::Format_RGB888)
        .copy();
}

} // namespace

PreviewController::PreviewController(platform::Platform& platform, int panelWidth,
                                     int panelHeight, QObject* parent)
    : QObject(parent)
    , m_platform(platform)
    , m_panelWidth(panelWidth)
    , m_panelHeight(panelHeight)
    , m_worker([this](std::stop_token stop) { Work(stop); })
{
}

PreviewController::~PreviewController()
{
    m_worker.request_stop();
    m_wake.notify_all();
    m_worker.join();
}

void PreviewController::Request(const std::string& path)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = Job { ++m_newest, path };
    }
    m_wake.notify_all();
}

void PreviewController::Work(std::stop_token stop)
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [this] { return m_pending.has_value(); }))
                return;
            job = std::move(*m_pending);
            m_pending.reset();
        }
        PreviewOutcome outcome = PreviewOutcome::TooSmall;
        QImage picture;
        // A missing, unreadable or oversized file reads as nothing: the label shows and the status
        // line keeps what it showed.
        if (auto bytes = m_platform.ReadWholeFile(job.path, kMaxPreviewFileSize)) {
            auto result = PreviewRestored(*bytes, m_panelWidth, m_panelHeight);
            outcome = result.outcome;
            if (result.image)
                picture = ToQImage(*result.image);
        }
        if (stop.stop_requested())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation = job.generation, path = std::move(job.path), outcome,
             picture = std::move(picture)] { Deliver(generation, path, outcome, picture); },
            Qt::QueuedConnection);
    }
}

void PreviewController::Deliver(unsigned generation, const std::string& path,
                                PreviewOutcome outcome, const QImage& picture)
{
    if (generation == m_newest)
        emit previewFinished(path, outcome, picture);
}

} // namespace results
