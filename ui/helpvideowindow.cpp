#include "ui/helpvideowindow.h"

#include <QScreen>

namespace ui {

namespace {

    constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;

} // namespace

HelpVideoWindow::HelpVideoWindow()
    : QWidget(nullptr, kWindowFlags)
{
    setObjectName(QStringLiteral("helpVideoWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    resize(kClientWidth, kClientHeight);
    if (const QScreen* display = screen()) {
        const QRect area = display->geometry();
        move(area.x() + (area.width() - kFrameWidth) / 2,
            area.y() + (area.height() - kFrameHeight) / 2);
    }
}

void HelpVideoWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

} // namespace ui
