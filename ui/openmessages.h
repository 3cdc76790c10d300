// What the user reads after an Open that did not load the file, or loaded
// it with something Save will write otherwise: why, and the one step that
// mends it.
#pragma once

#include "document/fileopen.h"

#include <QCoreApplication>
#include <QString>

namespace fennick {

class OpenMessages {
    Q_DECLARE_TR_FUNCTIONS(OpenMessages)

public:
    // The file, why it was not loaded with the step that mends it, and that
    // the preview is as it was.
    [[nodiscard]] static QString notOpened(const FilePath &path, const OpenResult &failure);
    // For a file that opened: what Save will write otherwise (CR LF for LF,
    // a closing line break); empty when Save writes back the same bytes.
    [[nodiscard]] static QString openedWithNote(const FilePath &path, const OpenResult &opened);
};

} // namespace fennick
