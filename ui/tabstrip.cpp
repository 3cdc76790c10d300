#include "ui/tabstrip.h"

#include "ui/contrast.h"
#include "ui/tabstripaccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace fennick {

TabStrip::TabStrip(QWidget *parent)
    : QWidget(parent)
{
    installTabStripAccessibility();
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
}

void TabStrip::setTabsPerRow(int tabsPerRow)
{
    m_tabsPerRow = std::max(1, tabsPerRow);
    updateGeometry();
    update();
}

void TabStrip::setRowHeight(qreal pixels)
{
    m_rowHeight = pixels;
    updateGeometry();
    update();
}

int TabStrip::addTab(const QString &caption)
{
    m_captions.append(caption);
    if (m_current < 0)
        m_current = m_focusTab = 0;
    updateGeometry();
    update();
    return count() - 1;
}

void TabStrip::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current) {
        setFocusTab(index);
        return;
    }
    m_current = index;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent selection(this, QAccessible::Selection);
        selection.setChild(index);
        QAccessible::updateAccessibility(&selection);
    }
    if (index == m_focusTab)
        emit focusTabChanged(index); // the same tab, but the rows turned
    else
        setFocusTab(index);
    emit currentChanged(index);
}

void TabStrip::setFocusTab(int index)
{
    if (index < 0 || index >= count() || index == m_focusTab)
        return;
    m_focusTab = index;
    update();
    if (QAccessible::isActive() && hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
    emit focusTabChanged(index);
}

void TabStrip::setOpenStepTab(int index)
{
    if (index == m_openStep)
        return;
    const int previous = m_openStep;
    m_openStep = index;
    update();
    if (!QAccessible::isActive())
        return;
    for (int tab : {previous, index}) {
        if (tab < 0)
            continue;
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        changed.setChild(tab);
        QAccessible::updateAccessibility(&changed);
    }
}

QString TabStrip::openStepDescription()
{
    return tr("Holds the open step");
}

int TabStrip::rowCount() const
{
    return (count() + m_tabsPerRow - 1) / m_tabsPerRow;
}

// Rows keep their cyclic order, turned so that the current tab's row is last.
int TabStrip::visualRow(int index) const
{
    const int rows = rowCount();
    const int row = index / m_tabsPerRow;
    const int currentRow = std::max(m_current, 0) / m_tabsPerRow;
    return (row - currentRow - 1 + 2 * rows) % rows;
}

QRect TabStrip::tabRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    // Each edge is rounded on its own so that neighbours always touch.
    const qreal tabWidth = qreal(width()) / m_tabsPerRow;
    const int column = index % m_tabsPerRow;
    const int row = visualRow(index);
    const int left = qRound(column * tabWidth);
    const int right = qRound((column + 1) * tabWidth);
    const int top = qRound(row * m_rowHeight);
    const int bottom = qRound((row + 1) * m_rowHeight);
    return {left, top, right - left, bottom - top};
}

int TabStrip::tabAt(const QPoint &position) const
{
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(position))
            return i;
    return -1;
}

QSize TabStrip::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const QString &caption : m_captions)
        widest = std::max(widest, metrics.horizontalAdvance(caption));
    const int padding = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this);
    return {(widest + padding) * m_tabsPerRow, rowsHeight()};
}

void TabStrip::initStyleOption(QStyleOptionTab *option, int index) const
{
    option->initFrom(this);
    option->rect = tabRect(index);
    option->text = m_captions.at(index);
    option->shape = QTabBar::RoundedNorth;
    option->row = visualRow(index);
    option->documentMode = false;

    const int column = index % m_tabsPerRow;
    const int lastInRow = std::min(count(), (index / m_tabsPerRow + 1) * m_tabsPerRow) - 1;
    if (column == 0 && index == lastInRow)
        option->position = QStyleOptionTab::OnlyOneTab;
    else if (column == 0)
        option->position = QStyleOptionTab::Beginning;
    else if (index == lastInRow)
        option->position = QStyleOptionTab::End;
    else
        option->position = QStyleOptionTab::Middle;

    if (index == m_current + 1 && visualRow(m_current) == option->row)
        option->selectedPosition = QStyleOptionTab::PreviousIsSelected;
    else if (index == m_current - 1 && visualRow(m_current) == option->row)
        option->selectedPosition = QStyleOptionTab::NextIsSelected;
    else
        option->selectedPosition = QStyleOptionTab::NotAdjacent;

    option->state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Selected);
    if (index == m_current)
        option->state |= QStyle::State_Selected;
    if (index == m_focusTab && hasFocus())
        option->state |= QStyle::State_HasFocus;
    if (index == m_hovered)
        option->state |= QStyle::State_MouseOver;
}

void TabStrip::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    // The tab in front is drawn last: styles let it overlap its neighbours.
    // Rows from the back to the front, so that each covers the one behind.
    const int frontRow = visualRow(m_current);
    for (int row = 0; row < rowCount(); ++row) {
        for (int i = 0; i < count(); ++i) {
            if (i == m_current || visualRow(i) != row)
                continue;
            QStyleOptionTab option;
            initStyleOption(&option, i);
            if (row == frontRow) {
                painter.drawControl(QStyle::CE_TabBarTab, option);
                continue;
            }
            // A tab of a row behind runs on down behind the rows in front:
            // its face drawn taller, its bottom edge cut off. Its caption
            // stays centred in the row, where the cut cannot reach its
            // descenders at any scale.
            painter.save();
            painter.setClipRect(option.rect);
            QStyleOptionTab face = option;
            face.rect.setBottom(face.rect.bottom() + face.rect.height() / 2);
            painter.drawControl(QStyle::CE_TabBarTabShape, face);
            painter.drawControl(QStyle::CE_TabBarTabLabel, option);
            painter.restore();
        }
    }
    if (m_current >= 0) {
        QStyleOptionTab option;
        initStyleOption(&option, m_current);
        painter.drawControl(QStyle::CE_TabBarTab, option); // with its focus mark
    }
    if (m_openStep >= 0)
        paintOpenStepMark(painter);
}

// A dot in the tab's top right corner, in the selection colour, at a
// contrast that a graphical object needs (WCAG 1.4.11).
void TabStrip::paintOpenStepMark(QPainter &painter) const
{
    const QRect tab = tabRect(m_openStep);
    const qreal radius = std::max(2.5, tab.height() / 8.0);
    const QPointF centre(tab.right() - 2.5 * radius, tab.top() + 2.5 * radius);
    const QColor face = palette().color(QPalette::Button);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(atContrast(palette().color(QPalette::Highlight), face, graphicContrast));
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

bool TabStrip::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverMove:
    case QEvent::HoverEnter:
        setHovered(tabAt(static_cast<QHoverEvent *>(event)->position().toPoint()));
        break;
    case QEvent::HoverLeave:
        setHovered(-1);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TabStrip::setHovered(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
}

void TabStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index >= 0)
        setCurrentIndex(index);
}

// Arrows walk every tab in order, across rows, as in a single tab bar, from
// the tab the keyboard is on; Space and Return bring that tab to the front.
void TabStrip::keyPressEvent(QKeyEvent *event)
{
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = m_focusTab;
        break;
    case Qt::Key_Left:
        target = m_focusTab - 1;
        break;
    case Qt::Key_Right:
        target = m_focusTab + 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count() - 1;
        break;
    default:
        event->ignore();
        return;
    }
    setCurrentIndex(std::clamp(target, 0, count() - 1));
}

// Not while another window, a menu or a message box, has it for a moment.
void TabStrip::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        setFocusTab(m_current);
    QWidget::focusOutEvent(event);
}

} // namespace fennick
