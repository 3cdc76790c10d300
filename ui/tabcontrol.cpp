#include "ui/tabcontrol.h"

#include "ui/accessiblecontrols.h"
#include "ui/tabstrip.h"

#include <QApplication>
#include <QResizeEvent>
#include <QShortcut>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

#include <algorithm>
#include <utility>

namespace fennick {

TabControl::TabControl(QWidget *parent)
    : QWidget(parent)
    , m_strip(new TabStrip(this))
{
    installControlAccessibility();
    setFocusPolicy(Qt::NoFocus); // the strip takes the focus
    // A tabbed dialog's face: it also hides whatever lies beneath it.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    connect(m_strip, &TabStrip::currentChanged, this, &TabControl::showPage);

    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDown and Ctrl+PgUp turn the pages
    // from anywhere in the window: the preview, a field, a button.
    const QList<QKeySequence> next{QKeySequence(Qt::CTRL | Qt::Key_Tab),
                                   QKeySequence(Qt::CTRL | Qt::Key_PageDown)};
    // Shift+Tab comes as Backtab on most platforms, as Tab with Shift on some.
    const QList<QKeySequence> previous{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                       QKeySequence(Qt::CTRL | Qt::Key_PageUp)};
    for (const auto &[keys, step] : {std::pair{next, 1}, std::pair{previous, -1}}) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { turnPage(step); });
    }
}

QWidget *TabControl::addPage(const QString &caption)
{
    auto *page = new QWidget(this);
    page->setGeometry(rect());
    page->setVisible(m_pages.empty());
    m_pages.push_back(page);
    m_strip->addTab(caption);
    m_strip->raise();
    arrange();
    return page;
}

int TabControl::currentIndex() const
{
    return m_strip->currentIndex();
}

void TabControl::setCurrentIndex(int index)
{
    m_strip->setCurrentIndex(index);
}

void TabControl::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_strip->size();
    frame.tabBarRect = m_strip->geometry();
    frame.selectedTabRect = m_strip->tabRect(m_strip->currentIndex()).translated(m_strip->pos());
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    frame.rect = rect().adjusted(0, m_strip->height() - overlap, 0, 0);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    arrange();
    QWidget::resizeEvent(event);
}

// Also called while the control is still hidden, before any resize event,
// so that the tabs have their real size as soon as they exist.
void TabControl::arrange()
{
    for (QWidget *page : m_pages)
        page->setGeometry(rect());
    m_strip->setGeometry(0, 0, width(), m_strip->rowsHeight());
}

namespace {

// Whether a control under this widget takes focus by Tab and is enabled.
// Walked by hand, stopping at the first: this runs on every button press.
bool holdsEnabledControl(const QObject *parent)
{
    return std::ranges::any_of(parent->children(), [](const QObject *child) {
        if (!child->isWidgetType())
            return false;
        const auto *widget = static_cast<const QWidget *>(child);
        return ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled())
            || holdsEnabledControl(widget);
    });
}

} // namespace

void TabControl::markOpenStep()
{
    const auto open = std::ranges::find_if(m_pages, holdsEnabledControl);
    m_strip->setOpenStepTab(open == m_pages.end() ? -1 : int(open - m_pages.begin()));
}

void TabControl::turnPage(int step)
{
    if (count() > 0)
        setCurrentIndex((currentIndex() + step + count()) % count());
}

void TabControl::showPage(int index)
{
    // Focus inside the page that goes away moves to the tabs, as in
    // QTabWidget, so that Ctrl+Tab keeps working from there.
    const QWidget *focus = QApplication::focusWidget();
    for (const QWidget *page : m_pages)
        if (page->isVisible() && focus && page->isAncestorOf(focus))
            m_strip->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < count(); ++i)
        m_pages[std::size_t(i)]->setVisible(i == index);
    update();
}

} // namespace fennick
