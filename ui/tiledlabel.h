#pragma once

#include <QLabel>
#include <QPixmap>

namespace ui {

// A label over a background picture that is repeated from the top-left corner until the label is
// covered; a picture larger than the label shows only its top-left part.
class TiledLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TiledLabel(const QString& text = {}, QWidget* parent = nullptr);

    void SetTile(const QPixmap& tile);
    const QPixmap& tile() const { return m_tile; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_tile;
};

} // namespace ui
