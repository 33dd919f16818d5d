#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

namespace ui {

// A white panel that shows one picture centred: at its own size when it fits, otherwise shrunk to
// fit with its proportions kept; never enlarged.
class DrawingPanel : public QWidget
{
    Q_OBJECT

public:
    explicit DrawingPanel(QWidget* parent = nullptr);

    void SetPicture(QImage picture);
    void ClearPicture();
    const QImage& picture() const { return m_picture; }
    // Where the picture is drawn in the panel's own coordinates; empty when there is none.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

} // namespace ui
