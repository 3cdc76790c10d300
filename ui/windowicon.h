// The program's icon, for title bars, task bars and Alt+Tab.
#pragma once

#include <QIcon>

namespace fennick {

// Every size it is drawn in (16 to 256 pixels, and the 80-pixel picture),
// each read from its file only when first asked for: a window shows one or
// two of them, and reading all eight at start costs more than the rest of
// the window's pictures.
[[nodiscard]] QIcon programIcon();

} // namespace fennick
