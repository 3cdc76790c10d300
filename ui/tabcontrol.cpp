#include "ui/tabcontrol.h"

#include <QResizeEvent>
#include <QTabBar>

namespace fennick {

TabControl::TabControl(QWidget *parent)
    : QWidget(parent)
    , m_tabBar(new QTabBar(this))
{
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    connect(m_tabBar, &QTabBar::currentChanged, this, &TabControl::showPage);
}

QWidget *TabControl::addPage(const QString &caption)
{
    auto *page = new QWidget(this);
    page->setGeometry(rect());
    page->setVisible(m_pages.empty());
    m_pages.push_back(page);
    m_tabBar->addTab(caption);
    m_tabBar->raise();
    return page;
}

int TabControl::currentIndex() const
{
    return m_tabBar->currentIndex();
}

void TabControl::setCurrentIndex(int index)
{
    m_tabBar->setCurrentIndex(index);
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    for (QWidget *page : m_pages)
        page->setGeometry(QRect(QPoint(0, 0), event->size()));
    m_tabBar->setGeometry(0, 0, event->size().width(), m_tabBar->sizeHint().height());
    QWidget::resizeEvent(event);
}

void TabControl::showPage(int index)
{
    for (int i = 0; i < count(); ++i)
        m_pages[std::size_t(i)]->setVisible(i == index);
}

} // namespace fennick
