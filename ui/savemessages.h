// What the user reads after a Save: where the file went, or why it did not
// and the one step that mends it.
#pragma once

#include "document/filesave.h"

#include <QCoreApplication>
#include <QString>

namespace fennick {

class SaveMessages {
    Q_DECLARE_TR_FUNCTIONS(SaveMessages)

public:
    // "File saved in C:\Config.ini".
    [[nodiscard]] static QString saved(const FilePath &path);
    // The file, the system's reason as a sentence, the one step that mends
    // it where the cause is known, and what became of the file and the text.
    [[nodiscard]] static QString notSaved(const FilePath &path, const SaveResult &failure);
    // The place refused the file: the user may not create or write it
    // there, so saving elsewhere helps. A full disk or a file another
    // program holds is no reason to go elsewhere.
    [[nodiscard]] static bool offersSaveAs(FailureCause cause);
    // For a file at the top of a drive ("C:/Config.ini"): Windows lets only
    // administrators create files there, and what to do about it. Empty for
    // any other path.
    [[nodiscard]] static QString driveRootRightsAdvice(const QString &path);
};

} // namespace fennick
