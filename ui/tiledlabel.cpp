#include "ui/tiledlabel.h"

#include <QPainter>

namespace ui {

TiledLabel::TiledLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setAlignment(Qt::AlignCenter);
    setWordWrap(false);
}

void TiledLabel::SetTile(const QPixmap& tile)
{
    m_tile = tile;
    update();
}

void TiledLabel::paintEvent(QPaintEvent* event)
{
    if (!m_tile.isNull()) {
        QPainter painter(this);
        painter.drawTiledPixmap(rect(), m_tile);
    }
    QLabel::paintEvent(event);
}

} // namespace ui
