#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace platform {
class Platform;
}

namespace ui {

// Runs after every accepted drop with the number of paths that the drop left in the list.
using DropCallback = std::function<void(int count)>;

// Makes one window take the local files and folders that a file manager drops on it, and keeps the
// paths of the last drop. One registration serves the whole program.
class FileDrop : public QObject
{
    Q_OBJECT

public:
    FileDrop(platform::Platform& system, std::vector<std::string>& droppedPaths);
    ~FileDrop() override;

    // Replaces the callback on every call; a window that is already registered is not registered
    // a second time, and a null window never is. flag has no effect.
    void RegisterFileDrop(QWidget* window, DropCallback callback, int flag);

    // Refills the dropped-path list with names, in their order, and runs the callback. A plain
    // folder (nothing but the directory attribute) gets a trailing separator; every other path is
    // kept exactly. Nothing happens when receiver is not the registered window or no callback is
    // registered.
    void HandleDroppedFiles(const std::vector<std::string>& names, const QWidget* receiver);

    QWidget* window() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::Platform& m_system;
    std::vector<std::string>& m_droppedPaths;
    QPointer<QWidget> m_window;
    DropCallback m_callback;
};

} // namespace ui
