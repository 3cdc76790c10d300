// Whole expected files, kept under tests/data/ byte for byte (CR LF and all,
// see .gitattributes), and a comparison that says where a file differs.
// With FENNICK_WRITE_REFERENCES=1 in the environment a differing reference
// is rewritten from what the program made, for review with git diff.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace referencefile {

[[nodiscard]] inline QString path(const QString &name)
{
    return QStringLiteral(FENNICK_TEST_DATA "/") + name;
}

// One line as text, its CR and any byte outside printable ASCII escaped.
[[nodiscard]] inline QString shown(const QByteArray &line)
{
    QString out;
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r')
            out += QStringLiteral("\\r");
        else if (byte < 0x20 || byte > 0x7e)
            out += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
        else
            out += QLatin1Char(c);
    }
    return out;
}

// Empty when actual holds exactly the reference file's bytes; otherwise the
// first differing line of each, with the line before it.
[[nodiscard]] inline QString difference(const QByteArray &actual, const QString &name)
{
    QFile file(path(name));
    const QByteArray expected = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (actual == expected && file.isOpen())
        return {};
    if (qEnvironmentVariableIntValue("FENNICK_WRITE_REFERENCES") == 1) {
        file.close();
        if (file.open(QIODevice::WriteOnly))
            file.write(actual);
    }
    const QList<QByteArray> want = expected.split('\n');
    const QList<QByteArray> got = actual.split('\n');
    qsizetype line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line])
        ++line;
    QStringList report{QStringLiteral("output differs from %1 (%2 bytes, reference %3) at line %4:")
                           .arg(name)
                           .arg(actual.size())
                           .arg(expected.size())
                           .arg(line + 1)};
    if (line > 0)
        report << QStringLiteral("  both: ") + shown(want[line - 1]);
    report << QStringLiteral("  ref:  ")
                  + (line < want.size() ? shown(want[line]) : QStringLiteral("<end>"));
    report << QStringLiteral("  got:  ")
                  + (line < got.size() ? shown(got[line]) : QStringLiteral("<end>"));
    return report.join(u'\n');
}

} // namespace referencefile

// Compares bytes with a reference file and fails the test with the difference.
#define COMPARE_WITH_REFERENCE(actual, name)                                                       \
    do {                                                                                           \
        const QString difference_ = referencefile::difference((actual), (name));                   \
        QVERIFY2(difference_.isEmpty(), qPrintable(difference_));                                  \
    } while (false)
