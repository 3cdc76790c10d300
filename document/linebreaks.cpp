#include "document/linebreaks.h"

#include <algorithm>

namespace fennick {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

QStringView firstLine(QStringView text)
{
    return text.first(std::find_if(text.begin(), text.end(), isLineBreak) - text.begin());
}

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
    text.replace(QChar(0xfdd0), QChar::ReplacementCharacter);
    text.replace(QChar(0xfdd1), QChar::ReplacementCharacter);
    return text;
}

} // namespace fennick
