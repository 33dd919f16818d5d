#include "ui/tabcontrol.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

namespace ui {

namespace {

    // Page components start 23 pixels down at the highest, so the tab row must not be taller.
    constexpr int kTabRowHeight = 21;
    constexpr int kTabRowIndent = 2;

} // namespace

TabControl::TabControl(const QString& firstTab, const QString& secondTab, QWidget* parent)
    : QWidget(parent)
{
    for (auto& page : m_pages)
        page = new QWidget(this);
    m_tabBar = new QTabBar(this);
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    m_tabBar->setFocusPolicy(Qt::NoFocus);
    m_tabBar->addTab(firstTab);
    m_tabBar->addTab(secondTab);
    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int index) {
        ShowPage(index);
        emit currentChanged(index);
    });
    ShowPage(0);
}

int TabControl::CurrentIndex() const { return m_tabBar->currentIndex(); }

void TabControl::SetCurrentIndex(int index) { m_tabBar->setCurrentIndex(index); }

void TabControl::ShowPage(int index)
{
    for (int i = 0; i < kPageCount; ++i)
        Page(i)->setVisible(i == index);
    // The pages cover the tab row; the tabs stay clickable above them.
    m_tabBar->raise();
}

QRect TabControl::PaneRect() const
{
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = m_tabBar->geometry().bottom() + 1 - overlap;
    return QRect(0, top, width(), height() - top);
}

void TabControl::resizeEvent(QResizeEvent*)
{
    for (QWidget* page : m_pages)
        page->setGeometry(rect());
    const int tabsWidth = std::min(m_tabBar->sizeHint().width(), width() - kTabRowIndent);
    m_tabBar->setGeometry(kTabRowIndent, 0, tabsWidth, kTabRowHeight);
}

void TabControl::paintEvent(QPaintEvent*)
{
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = PaneRect();
    frame.shape = QTabBar::RoundedNorth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.tabBarSize = m_tabBar->size();
    frame.tabBarRect = m_tabBar->geometry();
    frame.selectedTabRect = m_tabBar->tabRect(m_tabBar->currentIndex()).translated(m_tabBar->pos());
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

} // namespace ui
