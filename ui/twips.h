// Twips, the unit of the layout tables, to Qt's device-independent pixels.
#pragma once

#include "ui/layouttables.h"

#include <QRect>

namespace fennick {

inline constexpr int twipsPerPixel = 15;

[[nodiscard]] inline int toPixels(int twips)
{
    return qRound(double(twips) / twipsPerPixel);
}

// Rounds each edge, so that neighbours that touch in twips touch in pixels.
[[nodiscard]] inline QRect toPixels(const layout::TwipRect &r)
{
    const int left = toPixels(r.left);
    const int top = toPixels(r.top);
    return {left, top, toPixels(r.left + r.width) - left, toPixels(r.top + r.height) - top};
}

} // namespace fennick
