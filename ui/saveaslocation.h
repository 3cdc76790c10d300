// Asks the user where to save the configuration file when the fixed place
// refuses it, with the system's own file dialog.
#pragma once

#include <QString>

class QWidget;

namespace fennick {

// The path the user chose, or empty when the dialog was cancelled. Starts
// at startAt, the file last opened or saved as in this run; without one, in
// the Documents folder where there is one, else the home folder, with the
// name Config.ini. Keeps nothing between runs.
[[nodiscard]] QString askSaveAsLocation(QWidget *parent, const QString &startAt = {});

} // namespace fennick
