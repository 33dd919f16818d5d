#include "ui/hyperlink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace ui {

Hyperlink::Hyperlink(const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_text(text)
    , m_opener([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void Hyperlink::setText(const QString& text)
{
    m_text = text;
    updateGeometry();
    update();
}

bool Hyperlink::OpenTarget()
{
    if (m_target.isEmpty() || !m_opener)
        return false;
    if (!m_opener(QUrl::fromUserInput(m_target)))
        return false;
    m_visited = true;
    update();
    return true;
}

QSize Hyperlink::sizeHint() const { return fontMetrics().size(Qt::TextSingleLine, m_text); }

void Hyperlink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont font = painter.font();
    font.setUnderline(true);
    painter.setFont(font);
    painter.setPen(palette().color(m_visited ? QPalette::LinkVisited : QPalette::Link));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

void Hyperlink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers keys = event->modifiers();
    const int modifiers = (keys & Qt::ControlModifier ? Ctrl : 0)
        | (keys & Qt::ShiftModifier ? Shift : 0) | (keys & Qt::AltModifier ? Alt : 0);
    const QPoint at = event->position().toPoint();
    // A handler may close or delete the window from here; only open the target if we survive.
    QPointer<Hyperlink> self(this);
    emit pressed(at.x(), at.y(), modifiers);
    if (self)
        OpenTarget();
}

} // namespace ui
