// The window's controls have fixed sizes. The platform's default font may be
// wider than the one those sizes were drawn for; rather than clip captions,
// the window uses the largest size of that font in which every caption fits.
#pragma once

#include <QFont>

class QStyle;

namespace fennick {

// The largest font of base's family, no larger than base and no smaller than
// a readable floor, in which every caption of the layout tables, and a line
// of text in every field, fits its control as the style draws it. Worked out
// from the tables, before any control exists, so nothing is laid out twice.
[[nodiscard]] QFont fontFittingCaptions(const QFont &base, const QStyle &style);

} // namespace fennick
