// The window's client area in a scroll area: where the screen is smaller
// than the window, the window shrinks to the screen and its content scrolls,
// so that every control stays in reach; where it fits, nothing scrolls.
#pragma once

#include <QScrollArea>

namespace fennick {

class WindowScrollArea : public QScrollArea {
    Q_OBJECT
public:
    // Takes the client area, which keeps its fixed size.
    explicit WindowScrollArea(QWidget *client, QWidget *parent);

    // The client area's size, or less where the given room is smaller.
    [[nodiscard]] QSize sizeWithin(const QSize &room) const;

private:
    // The control that takes the focus, by any means, scrolls into view.
    void showFocused(QWidget *focused);
};

} // namespace fennick
