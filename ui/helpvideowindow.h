#pragma once

#include <QWidget>

namespace ui {

// The window the help pages are shown in: a top-level window of its own (no owner, in the task
// bar), sizable, without components; its only content is the page that the web host puts into it.
// It deletes itself when closed.
class HelpVideoWindow : public QWidget
{
    Q_OBJECT

public:
    // The client area inside the same standard frame as the main window's (3-pixel borders, a
    // 23-pixel caption) makes the 480 x 350 outer size the window is centred by.
    static constexpr int kFrameWidth = 480;
    static constexpr int kFrameHeight = 350;
    static constexpr int kClientWidth = 474;
    static constexpr int kClientHeight = 321;

    HelpVideoWindow();

signals:
    // Every change of size, the ones while the window is first shown and by maximizing included.
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace ui
