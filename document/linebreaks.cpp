#include "document/linebreaks.h"

namespace fennick {
namespace {

[[nodiscard]] bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QString documentFromEditorText(const QString &editorText)
{
    QString document;
    document.reserve(editorText.size() + editorText.size() / 16);
    const QChar *begin = editorText.constData();
    const qsizetype size = editorText.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = begin[i];
        if (!isLineBreak(c))
            continue;
        document.append(begin + runStart, i - runStart);
        document.append(u"\r\n");
        if (c == u'\r' && i + 1 < size && begin[i + 1] == u'\n')
            ++i; // a CR LF pair is one line break
        runStart = i + 1;
    }
    document.append(begin + runStart, size - runStart);
    return document;
}

QString editorTextFromDocument(const QString &document)
{
    QString text = document;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace fennick
