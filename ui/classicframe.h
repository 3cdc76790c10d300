// Small widgets that give the window its classic look: frames whose line
// runs through their caption, and a picture that shows when it has focus.
#pragma once

#include <QGroupBox>
#include <QLabel>

namespace fennick {

// A frame drawn the classic way: its border runs through the middle of its
// caption, so the caption clearly belongs to it and rows placed near the
// top stay inside the border.
class ClassicFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A decorative picture that takes the keyboard focus in its turn and shows
// an outline while it has it.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace fennick
