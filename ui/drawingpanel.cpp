#include "ui/drawingpanel.h"

#include "results/centredplacement.h"

#include <QPainter>

namespace ui {

DrawingPanel::DrawingPanel(QWidget* parent)
    : QWidget(parent)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
}

void DrawingPanel::SetPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

void DrawingPanel::ClearPicture()
{
    m_picture = QImage();
    update();
}

QRect DrawingPanel::PictureRect() const
{
    if (m_picture.isNull())
        return {};
    const results::PlacedRect placed
        = results::CentredPlacement(width(), height(), m_picture.width(), m_picture.height());
    return { placed.x, placed.y, placed.width, placed.height };
}

void DrawingPanel::paintEvent(QPaintEvent*)
{
    const QRect target = PictureRect();
    if (target.isEmpty())
        return;
    QPainter painter(this);
    if (target.size() == m_picture.size()) {
        painter.drawImage(target.topLeft(), m_picture);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_picture);
}

} // namespace ui
