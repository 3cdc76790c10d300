// The floor for Fennick's start-up: its window described as the stock widgets
// it is made of, each at its place, for floor_window to build with a plain
// loop. What Fennick takes beyond that floor is what its tables, its own
// widgets and its wiring cost.
#pragma once

#include <QString>

namespace bench {

// Builds Fennick's window (not shown) and writes one line per stock widget:
//   window WIDTH HEIGHT FONT
//   page INDEX X Y WIDTH HEIGHT SHOWN
//   KIND PAGE X Y WIDTH HEIGHT TEXT FONT
// KIND is label, picture, field, combo, editcombo, button, frame or textbox;
// PAGE is -1 outside the tabs; places are in the window's client area or in
// the page; TEXT (a picture's file) and FONT (empty: the window's) are
// percent-encoded.
void writeFloorLayout(const QString &path, const QString &pictureFile);

} // namespace bench
