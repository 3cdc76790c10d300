// Words that Open's and Save's messages share, so that both say a thing the
// same way.
#pragma once

#include "document/filesave.h"

#include <QString>

namespace fennick {

// The system's words as a sentence: "Permission denied."
[[nodiscard]] QString asSentence(const QString &words);

// What a thing on disk is, for "… is a pipe (FIFO), not a file": "a device".
[[nodiscard]] QString fileKindName(FileKind kind);

} // namespace fennick
