// The system's file dialog for Open and Save As, leaving nothing behind.
#pragma once

#include <QString>

class QWidget;

namespace fennick {

enum class FileDialogPurpose { Open, SaveAs };

// The path the user chose, or empty when the dialog was cancelled. Starts
// in startAt's folder, with startAt's name selected (for Open, only where
// that file exists), and offers "Configuration files (*.ini)" and "All
// files (*)". Keeps nothing between runs: Qt's dialog would record the last
// folder visited in the user's settings.
[[nodiscard]] QString askFilePath(QWidget *parent, FileDialogPurpose purpose,
                                  const QString &startAt);

// For Open: the file Save writes, selected where it exists.
[[nodiscard]] QString askOpenLocation(QWidget *parent, const QString &startAt);

} // namespace fennick
