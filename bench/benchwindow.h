// The real main window, walked as a user would to the Vehicle step, so that
// "Add Car" and Save can be pressed, with a preview of a chosen size.
#pragma once

#include "ui/mainwindow.h"

#include <QString>

namespace fennick {
class PreviewEdit;
}

namespace bench {

class BenchWindow {
public:
    BenchWindow();

    // Pastes over the whole preview the walked text followed by Vehicle
    // records, until the document holds at least documentBytes; returns the
    // milliseconds from the paste until the preview has repainted.
    double fillPreview(qsizetype documentBytes);

    // One mouse click on the named button, from the release, where a button
    // acts, until the window has repainted: the press and its repaint come
    // while the user still holds the button down.
    [[nodiscard]] double clickMs(const QString &button);

    // One key typed at the end of the preview, until it has repainted.
    [[nodiscard]] double typeAtEndMs(Qt::Key key);
    // One key where the caret stands, and what the window does about it.
    [[nodiscard]] double pressKeyMs(Qt::Key key);

    // "Add Car" done the literal way: read the whole text, add the record,
    // set the whole text, show the end; then repaint.
    [[nodiscard]] double literalAddCarMs();

    // Pastes the text over the whole preview, until it has repainted.
    [[nodiscard]] double pasteMs(const QString &text);

    // Drops the file on the preview, as from a file manager, which opens
    // it; milliseconds until the preview has repainted with its text.
    [[nodiscard]] double dropFileMs(const QString &path);

    // The characters the preview holds (not counting line-break widths).
    [[nodiscard]] qsizetype previewCharacters() const;
    [[nodiscard]] QString vehicleRecord() const;
    [[nodiscard]] fennick::PreviewEdit *preview() const;

private:
    fennick::MainWindow m_window;
};

// VmHWM and VmRSS of this process from /proc/self/status, in bytes.
[[nodiscard]] double peakResidentBytes();
[[nodiscard]] double residentBytes();

} // namespace bench
