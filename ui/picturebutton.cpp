#include "ui/picturebutton.h"

#include <QPainter>

namespace ui {

PictureButton::PictureButton(const QPixmap& picture, QWidget* parent)
    : QAbstractButton(parent)
    , m_picture(picture)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

} // namespace ui
