// Asks the user where to save the configuration file when the fixed place
// refuses it, with the system's own file dialog.
#pragma once

#include <QString>

class QWidget;

namespace fennick {

// The path the user chose, or empty when the dialog was cancelled. Starts
// in the Documents folder where there is one, else the home folder, with
// the name Config.ini. Keeps nothing between runs: Qt's dialog would record
// the last folder visited in the user's settings.
[[nodiscard]] QString askSaveAsLocation(QWidget *parent);

} // namespace fennick
