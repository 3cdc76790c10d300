// The bytes of the server's configuration file, made from the document.
#pragma once

#include <QByteArray>
#include <QString>

namespace fennick {

// The file's bytes: the document in the system's 8-bit encoding, followed by
// one CR LF, with no byte-order mark. Characters the encoding cannot hold
// become its replacement character; none are dropped.
[[nodiscard]] QByteArray configFileBytes(const QString &document);

// The same bytes as configFileBytes(documentFromEditorText(editorText)), made
// in one pass over a text widget's raw text: each line break becomes CR LF as
// the text is encoded, with no converted copy of a large document between.
[[nodiscard]] QByteArray configFileBytesFromEditorText(QStringView editorText);

} // namespace fennick
