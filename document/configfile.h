// Writing the document to the server's configuration file.
#pragma once

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

struct SaveResult {
    bool saved = false;
    QString reason; // the system's words for what went wrong, when not saved
};

// Replaces the file at path as a whole with bytes made by one of the
// functions above: they go to a temporary file beside it, which is renamed
// over the old one only once every byte is on disk. On failure the old file
// stays as it was.
[[nodiscard]] SaveResult saveConfigFileBytes(const QByteArray &bytes, const QString &path);

// The texts the user sees after a save.
[[nodiscard]] QString savedMessage(const QString &path);
[[nodiscard]] QString notSavedMessage(const QString &path, const QString &reason);

} // namespace fennick
