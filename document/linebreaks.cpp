#include "document/linebreaks.h"

#include <algorithm>

namespace fennick {

QStringView firstLine(QStringView text)
{
    return text.first(std::find_if(text.begin(), text.end(), isLineBreak) - text.begin());
}

QString documentFromEditorText(const QString &editorText)
{
    QString document;
    document.reserve(editorText.size() + editorText.size() / 16);
    bool atStart = true;
    forEachLine(editorText, [&](QStringView line) {
        if (!atStart)
            document.append(u"\r\n");
        atStart = false;
        document.append(line);
    });
    return document;
}

QString editorTextFromDocument(const QString &document)
{
    QString text = document;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n'); // a paragraph too, as the file has a line there
    text.replace(QChar(0xfdd0), QChar::ReplacementCharacter);
    text.replace(QChar(0xfdd1), QChar::ReplacementCharacter);
    return text;
}

bool needsEditorConversion(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar(0xfdd0) || c == QChar(0xfdd1) || c == QChar::LineSeparator;
    });
}

} // namespace fennick
