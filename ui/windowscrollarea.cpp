#include "ui/windowscrollarea.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

namespace fennick {

WindowScrollArea::WindowScrollArea(QWidget *client, QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // the controls take the focus, not the area
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(client);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { showFocused(now); });
}

// Where one way scrolls, its scroll bar takes room from the other; room to
// spare there goes to that bar, so that the other way need not scroll too.
QSize WindowScrollArea::sizeWithin(const QSize &room) const
{
    const QSize client = widget()->size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    QSize size = client.boundedTo(room);
    if (size.height() < client.height())
        size.setWidth(std::min(room.width(), client.width() + bar));
    if (size.width() < client.width())
        size.setHeight(std::min(room.height(), client.height() + bar));
    return size;
}

void WindowScrollArea::showFocused(QWidget *focused)
{
    if (!focused || !widget()->isAncestorOf(focused))
        return;
    // A control wholly in view stays where it is: the window moves only to
    // bring one into view.
    const QRect inView(focused->mapTo(viewport(), QPoint(0, 0)), focused->size());
    if (viewport()->rect().contains(inView))
        return;
    // A control larger than the view, such as the preview, shows its top
    // left corner.
    constexpr int margin = 8;
    ensureWidgetVisible(focused, margin, margin);
}

} // namespace fennick
