// A dark palette, as dark desktop themes give, for pictures and for tests
// that the window's own colours stay legible on it.
#pragma once

#include <QPalette>

inline QPalette darkPalette()
{
    QPalette dark(QColor(53, 53, 56), QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(232, 232, 232));
    dark.setColor(QPalette::ButtonText, QColor(232, 232, 232));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(40, 40, 40));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dark.setColor(QPalette::Highlight, QColor(38, 110, 180));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(86, 156, 214));
    dark.setColor(QPalette::LinkVisited, QColor(197, 134, 192));
    dark.setColor(QPalette::PlaceholderText, QColor(128, 128, 128));
    return dark;
}

// KDE's Breeze and Breeze Dark colour schemes, as Plasma hands them to Qt
// (views, buttons, links, the inactive text that serves as placeholder).
inline QPalette breezePalette(bool dark = false)
{
    QPalette breeze(dark ? QColor(49, 54, 59) : QColor(239, 240, 241),
                    dark ? QColor(49, 54, 59) : QColor(239, 240, 241));
    const QColor text = dark ? QColor(239, 240, 241) : QColor(35, 38, 41);
    breeze.setColor(QPalette::WindowText, text);
    breeze.setColor(QPalette::ButtonText, text);
    breeze.setColor(QPalette::Text, text);
    breeze.setColor(QPalette::Base, dark ? QColor(35, 38, 41) : QColor(252, 252, 252));
    breeze.setColor(QPalette::Highlight, QColor(61, 174, 233));
    breeze.setColor(QPalette::Link, dark ? QColor(29, 153, 243) : QColor(41, 128, 185));
    breeze.setColor(QPalette::LinkVisited, dark ? QColor(155, 89, 182) : QColor(127, 140, 141));
    breeze.setColor(QPalette::PlaceholderText,
                    dark ? QColor(161, 169, 177) : QColor(112, 125, 138));
    return breeze;
}

inline QPalette breezeDarkPalette()
{
    return breezePalette(true);
}
