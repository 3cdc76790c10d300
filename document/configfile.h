// Writing the document to the server's configuration file.
#pragma once

#include "document/filesave.h"

#include <QByteArray>
#include <QString>

namespace fennick {

// "C:\Config.ini" on Windows; "Config.ini" in the home folder elsewhere.
[[nodiscard]] QString configFilePath();

// The file's bytes: the document in the system's 8-bit encoding, followed by
// one CR LF, with no byte-order mark. Characters the encoding cannot hold
// become its replacement character; none are dropped.
[[nodiscard]] QByteArray configFileBytes(const QString &document);

// The same bytes as configFileBytes(documentFromEditorText(editorText)), made
// in one pass over a text widget's raw text: each line break becomes CR LF as
// the text is encoded, with no converted copy of a large document between.
[[nodiscard]] QByteArray configFileBytesFromEditorText(QStringView editorText);

// The message after a Save that worked.
[[nodiscard]] QString savedMessage(const QString &path);
// A failed Save's warning: the file, the system's reason as a sentence, the
// one step that mends it where the cause is known, and what became of the
// file and the text.
[[nodiscard]] QString notSavedMessage(const QString &path, const SaveResult &failure);

} // namespace fennick
