// The bytes of the server's configuration file, made from the document.
#pragma once

#include "document/encodingcheck.h"
#include "document/filebytes.h"
#include "document/systemencoder.h"

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

// The same bytes again, made from a text widget's raw text piece by piece
// into a small buffer that is handed on each time it fills: every line
// break becomes CR LF as the text is encoded, and the last line gets the
// file's closing CR LF.
class ConfigFileWriter final : public FileBytes {
public:
    // With a check, the writer also counts the characters it writes
    // otherwise, as it encodes them: no walk of the text of its own.
    explicit ConfigFileWriter(const TextSource &text, const EncodingCheck *check = nullptr);
    bool writeTo(const std::function<bool(QByteArrayView)> &write) override;

    // Of the last pass, whole; none without a check.
    [[nodiscard]] const Replacements &replacements() const { return m_replacements; }

    // Every character beyond ASCII goes through this encoder: where the
    // characters the encoding lacks are replaced.
    [[nodiscard]] const SystemEncoder &encoder() const { return m_encoder; }

private:
    const TextSource &m_text;
    const EncodingCheck *m_check;
    SystemEncoder m_encoder;
    Replacements m_replacements;
};

} // namespace fennick
