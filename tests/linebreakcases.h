// Every kind of line break a user can bring in, one row each, for every
// suite that takes text in: what comes in, what the document then holds
// (each break CR LF, a CR LF pair one break) and the text before the first
// break, which is all a single-line field keeps.
#pragma once

#include <QList>
#include <QString>

struct LineBreakCase {
    const char *name;
    QString in;
    QString document;
    QString firstLine;
};

inline const QList<LineBreakCase> lineBreakCases{
    {"LF", QStringLiteral("a\nb"), QStringLiteral("a\r\nb"), QStringLiteral("a")},
    {"CR LF", QStringLiteral("a\r\nb"), QStringLiteral("a\r\nb"), QStringLiteral("a")},
    {"lone CR", QStringLiteral("a\rb"), QStringLiteral("a\r\nb"), QStringLiteral("a")},
    {"CR CR LF", QStringLiteral("a\r\r\nb"), QStringLiteral("a\r\n\r\nb"), QStringLiteral("a")},
    {"LF CR", QStringLiteral("a\n\rb"), QStringLiteral("a\r\n\r\nb"), QStringLiteral("a")},
    {"line separator", QStringLiteral(u"a\u2028b"), QStringLiteral("a\r\nb"), QStringLiteral("a")},
    {"paragraph separator", QStringLiteral(u"a\u2029b"), QStringLiteral("a\r\nb"),
     QStringLiteral("a")},
    {"breaks at both ends", QStringLiteral("\nab\n"), QStringLiteral("\r\nab\r\n"), QString()},
    {"empty lines", QStringLiteral(u"\u2029\u2029"), QStringLiteral("\r\n\r\n"), QString()},
};
