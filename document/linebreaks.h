// The document separates lines with CR LF; a text edit widget separates
// paragraphs. These functions convert between the two forms.
#pragma once

#include <QString>
#include <QStringView>

namespace fennick {

// CR, LF and the Unicode line and paragraph separators: each ends a line in
// the preview, so each becomes CR LF in the document.
[[nodiscard]] constexpr bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Calls onLine with each line of the text, without its line break, the last
// line included (empty when the text ends in a line break). A CR LF pair is
// one line break. The one walk behind both the document and the file bytes.
template <typename OnLine>
void forEachLine(QStringView text, OnLine onLine)
{
    const char16_t *chars = text.utf16();
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i];
        // Most characters lie between CR and the line separator: one test.
        if ((c > u'\r' && c < u'\u2028') || c > u'\u2029' || !isLineBreak(QChar(c)))
            continue;
        onLine(text.sliced(lineStart, i - lineStart));
        if (c == u'\r' && i + 1 < text.size() && chars[i + 1] == u'\n')
            ++i; // a CR LF pair is one line break
        lineStart = i + 1;
    }
    onLine(text.sliced(lineStart));
}

// The text before its first line break; the whole text when it has none.
[[nodiscard]] QStringView firstLine(QStringView text);

// From a widget's raw text (paragraph and line separators, or plain LF) to
// the document: every kind of line break becomes CR LF; nothing else changes.
[[nodiscard]] QString documentFromEditorText(const QString &editorText);

// From the document to text a widget inserts as paragraphs: each CR LF (and
// any lone CR or line separator) becomes one LF. U+FDD0 and U+FDD1 become U+FFFD: Qt's text
// document takes those two noncharacters for frame marks and would turn
// them into line breaks, splitting a configuration line.
[[nodiscard]] QString editorTextFromDocument(const QString &document);

// Whether editorTextFromDocument() changes more than the line breaks that a
// widget's own insert turns into paragraphs (CR LF, lone CR, lone LF).
[[nodiscard]] bool needsEditorConversion(QStringView text);

} // namespace fennick
