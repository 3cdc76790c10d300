// The document separates lines with CR LF; a text edit widget separates
// paragraphs. These functions convert between the two forms.
#pragma once

#include <QString>
#include <QStringView>

namespace fennick {

// CR, LF and the Unicode line and paragraph separators: each ends a line in
// the preview, so each becomes CR LF in the document.
[[nodiscard]] bool isLineBreak(QChar c);

// The text before its first line break; the whole text when it has none.
[[nodiscard]] QStringView firstLine(QStringView text);

// From a widget's raw text (paragraph and line separators, or plain LF) to
// the document: every kind of line break becomes CR LF; nothing else changes.
[[nodiscard]] QString documentFromEditorText(const QString &editorText);

// From the document to text a widget inserts as paragraphs: each CR LF (and
// any lone CR) becomes one LF. U+FDD0 and U+FDD1 become U+FFFD: Qt's text
// document takes those two noncharacters for frame marks and would turn
// them into line breaks, splitting a configuration line.
[[nodiscard]] QString editorTextFromDocument(const QString &document);

} // namespace fennick
