#include "ui/filedrop.h"

#include "platform/droppedpath.h"
#include "platform/platform.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <optional>

namespace ui {

namespace {

    // The byte paths of a drop made only of local files and folders; nullopt for anything else, so
    // that text and remote addresses reach the widgets that take them.
    std::optional<std::vector<std::string>> LocalPaths(const QMimeData* mime)
    {
        if (!mime || !mime->hasUrls())
            return std::nullopt;
        const QList<QUrl> urls = mime->urls();
        if (urls.isEmpty())
            return std::nullopt;
        std::vector<std::string> paths;
        paths.reserve(urls.size());
        for (const QUrl& url : urls) {
            if (!url.isLocalFile() || !url.host().isEmpty())
                return std::nullopt;
            // The percent-encoded path carries the name's bytes exactly; decoding it to a QString
            // first would replace bytes that are not UTF-8 and name another file, or none.
            std::string bytes
                = platform::PercentDecode(url.path(QUrl::FullyEncoded).toLatin1().toStdString());
            if (bytes.empty())
                return std::nullopt;
            paths.push_back(std::move(bytes));
        }
        return paths;
    }

} // namespace

FileDrop::FileDrop(platform::Platform& system, std::vector<std::string>& droppedPaths)
    : m_system(system)
    , m_droppedPaths(droppedPaths)
{ }

FileDrop::~FileDrop() = default;

void FileDrop::RegisterFileDrop(QWidget* window, DropCallback callback, int /*flag*/)
{
    m_callback = std::move(callback);
    if (window == m_window)
        return;
    m_window = window;
    window->setAcceptDrops(true);
    // Watched at the application, not at the window: Qt hands a drag to the innermost widget that
    // takes drops, and the folder box's line edit would otherwise insert a dropped file as text.
    qApp->installEventFilter(this);
}

void FileDrop::HandleDroppedFiles(const std::vector<std::string>& names, const QWidget* receiver)
{
    if (!m_window || receiver != m_window || !m_callback)
        return;
    m_droppedPaths.clear();
    const char separator = m_system.Separator();
    for (const std::string& path : names)
        m_droppedPaths.push_back(
            platform::NormaliseDroppedPath(path, m_system.FileAttributes(path), separator));
    m_callback(static_cast<int>(m_droppedPaths.size()));
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || !m_window || (target != m_window && !m_window->isAncestorOf(target)))
        return false;
    // QDragEnterEvent and QDragMoveEvent are drop events too.
    auto* drop = static_cast<QDropEvent*>(event);
    const std::optional<std::vector<std::string>> paths = LocalPaths(drop->mimeData());
    if (!paths)
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        HandleDroppedFiles(*paths, target->window());
    return true;
}

} // namespace ui
