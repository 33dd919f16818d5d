#pragma once

#include "results/previewcontroller.h"

#include <QObject>

namespace ui {
class MainWindow;
}

namespace app {

struct AppState;

// The repair preview: a row that becomes current and names a .jpg or .gif file is restored in memory
// and shown in the preview panel, or the notice label says why not.
class PreviewHandlers : public QObject
{
    Q_OBJECT

public:
    PreviewHandlers(AppState& state, ui::MainWindow& window);

    void OnCurrentRowChanged();
    void PreviewRepairedImage(const std::string& path);

    results::PreviewController& controller() { return m_controller; }

private:
    void OnPreviewFinished(const std::string& path, results::PreviewOutcome outcome,
                           const QImage& picture);

    ui::MainWindow& m_window;
    results::PreviewController m_controller;
};

} // namespace app
