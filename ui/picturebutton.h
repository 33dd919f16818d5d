#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace ui {

// A button that is only its picture, drawn at its own size from the top-left corner in every state.
class PictureButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit PictureButton(const QPixmap& picture, QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    QSize sizeHint() const override { return m_picture.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace ui
