// The document separates lines with CR LF; a text edit widget separates
// paragraphs. These two functions convert between the two forms.
#pragma once

#include <QString>

namespace fennick {

// From a widget's raw text (paragraph and line separators, or plain LF) to
// the document: every kind of line break becomes CR LF; nothing else changes.
[[nodiscard]] QString documentFromEditorText(const QString &editorText);

// From the document to text a widget inserts as paragraphs: each CR LF (and
// any lone CR) becomes one LF.
[[nodiscard]] QString editorTextFromDocument(const QString &document);

} // namespace fennick
