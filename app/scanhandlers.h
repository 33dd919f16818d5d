#pragma once

#include "scan/scancontroller.h"

#include <QObject>

namespace ui {
class MainWindow;
}

namespace app {

struct AppState;
class MessageBoxes;

// The scan page's buttons, the hidden report box and the scan they drive. Destroying the handlers, or
// closing the window, ends and joins a running walk.
class ScanHandlers : public QObject
{
    Q_OBJECT

public:
    ScanHandlers(AppState& state, ui::MainWindow& window, MessageBoxes& boxes);
    ~ScanHandlers() override;

    void OnScanClicked();
    void RunScan();
    void OnPauseClicked();
    void OnEndClicked();
    void OnReportBoxChanged();

    scan::ScanController& controller() { return m_controller; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnWalkFinished(bool endedByUser);
    void ClearCheckMarks();

    AppState& m_state;
    ui::MainWindow& m_window;
    MessageBoxes& m_boxes;
    scan::ScanController m_controller;
};

} // namespace app
