// Colours mixed from the palette that stay legible on their background,
// measured as WCAG does (contrast ratio of relative luminances).
#pragma once

#include <QColor>

namespace fennick {

// What a focus mark or another graphical object needs against its
// background (WCAG 1.4.11), and text (WCAG 1.4.3).
inline constexpr double graphicContrast = 3.0;
inline constexpr double textContrast = 4.5;

[[nodiscard]] double contrastRatio(const QColor &a, const QColor &b);

// a at weightOfA (0 to 1), b at the rest.
[[nodiscard]] QColor mixed(const QColor &a, const QColor &b, double weightOfA);

// The colour itself when it stands out from the background by at least
// minimumRatio; else the colour moved, step by step, towards black or white,
// whichever the background contrasts with more.
[[nodiscard]] QColor atContrast(const QColor &colour, const QColor &background,
                                double minimumRatio);

// The colour's hue, at a saturation of at least minimumSaturation (HSL),
// made lighter or darker until it stands out from the background by
// minimumRatio: a coloured text stays coloured rather than fading to grey.
[[nodiscard]] QColor atContrastInHue(const QColor &colour, const QColor &background,
                                     double minimumRatio, double minimumSaturation);

} // namespace fennick
