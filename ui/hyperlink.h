#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace ui {

// A caption drawn as link text. A left press first reports itself through pressed(), so that a
// handler can act, and only then opens the link's own target, if it has one.
class Hyperlink : public QWidget
{
    Q_OBJECT

public:
    // Opens a target; true on success. Replaceable so that tests open nothing for real.
    using Opener = std::function<bool(const QUrl&)>;

    // Modifier flags of pressed(), as handlers expect them.
    enum Modifier
    {
        Ctrl = 1,
        Shift = 2,
        Alt = 4
    };

    explicit Hyperlink(const QString& text = {}, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QString target() const { return m_target; }
    void setTarget(const QString& target) { m_target = target; }
    bool isVisited() const { return m_visited; }
    void SetOpener(Opener opener) { m_opener = std::move(opener); }

    // Opens the target; an empty target opens nothing and fails. A success marks the link visited.
    bool OpenTarget();

    QSize sizeHint() const override;

signals:
    void pressed(int x, int y, int modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_text;
    QString m_target;
    bool m_visited = false;
    Opener m_opener;
};

} // namespace ui
