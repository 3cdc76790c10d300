#include "ui/focusring.h"

#include "ui/contrast.h"
#include "ui/tabstrip.h"

#include <QApplication>
#include <QPainter>

namespace fennick {
namespace {

constexpr int ringWidth = 2;

} // namespace

FocusRing::FocusRing(QWidget *area)
    : QWidget(area)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
}

QColor FocusRing::colour() const
{
    return atContrast(palette().color(QPalette::Highlight), palette().color(QPalette::Window),
                      graphicContrast);
}

void FocusRing::follow(QWidget *focused)
{
    if (m_focused)
        m_focused->removeEventFilter(this);
    disconnect(m_tabChanges);
    m_focused = focused && parentWidget()->isAncestorOf(focused) ? focused : nullptr;
    if (m_focused) {
        m_focused->installEventFilter(this);
        if (auto *strip = qobject_cast<TabStrip *>(focused))
            m_tabChanges = connect(strip, &TabStrip::focusTabChanged, this, &FocusRing::place);
    }
    place();
}

// The ring lies just outside the control, where the window's face is; on
// the tabs, which touch one another, just inside the tab the keyboard is on.
void FocusRing::place()
{
    if (!m_focused || !m_focused->isVisible()) {
        hide();
        return;
    }
    QRect ring;
    if (auto *strip = qobject_cast<TabStrip *>(m_focused.data()))
        ring = strip->tabRect(strip->focusTab()).adjusted(ringWidth, ringWidth, -ringWidth, 0);
    else
        ring = m_focused->rect().adjusted(-ringWidth, -ringWidth, ringWidth, ringWidth);
    setGeometry(QRect(m_focused->mapTo(parentWidget(), ring.topLeft()), ring.size()));
    raise();
    show();
    update();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(colour(), ringWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(ringWidth / 2.0, ringWidth / 2.0, -ringWidth / 2.0,
                                             -ringWidth / 2.0));
}

} // namespace fennick
