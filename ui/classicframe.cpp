#include "ui/classicframe.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace fennick {

void ClassicFrame::paintEvent(QPaintEvent *event)
{
    const QFontMetrics metrics = fontMetrics();
    // An etched line, drawn here rather than by the style: styles such as
    // Fusion put a group box's border below its caption, not through it.
    const QRect border = rect().adjusted(0, metrics.height() / 2, 0, 0);
    // A control inside that repaints itself (a button as it is pressed)
    // asks for its own rectangle only, where none of the frame lies.
    constexpr int etchedWidth = 2; // a dark line and a light one
    const QRect inside = border.adjusted(etchedWidth, etchedWidth, -etchedWidth, -etchedWidth);
    const QRect captionBand(0, 0, width(), metrics.height());
    const QRegion &asked = event->region();
    if (!asked.intersects(captionBand) && asked.subtracted(inside).isEmpty())
        return;
    QPainter painter(this);
    qDrawShadeRect(&painter, border, palette(), true, 1, 0);

    // The caption stands on the line, on the frame's own background.
    constexpr int captionLeft = 6;
    constexpr int captionPadding = 2;
    const QRect caption(captionLeft, 0, metrics.horizontalAdvance(title()) + 2 * captionPadding,
                        metrics.height());
    painter.fillRect(caption, palette().window());
    style()->drawItemText(&painter, caption.adjusted(captionPadding, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // An outline only: the style's focus frame may be a tinted fill, which
    // would cloud the picture.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), 2);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

} // namespace fennick
