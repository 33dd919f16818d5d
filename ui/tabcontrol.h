#pragma once

#include <QWidget>

#include <array>

class QTabBar;

namespace ui {

// Two pages under one row of tabs. Each page covers the whole control, the tab row included, so a
// component on a page is placed relative to the control's top-left corner. Choosing a tab shows its
// page and hides the other.
class TabControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPageCount = 2;

    TabControl(const QString& firstTab, const QString& secondTab, QWidget* parent = nullptr);

    QWidget* Page(int index) const { return m_pages.at(static_cast<std::size_t>(index)); }
    QTabBar* tabBar() const { return m_tabBar; }
    int CurrentIndex() const;
    void SetCurrentIndex(int index);

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowPage(int index);
    QRect PaneRect() const;

    QTabBar* m_tabBar;
    std::array<QWidget*, kPageCount> m_pages {};
};

} // namespace ui
