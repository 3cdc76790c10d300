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
