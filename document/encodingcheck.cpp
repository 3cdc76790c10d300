#include "document/encodingcheck.h"

#include "document/systemencoder.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <algorithm>

namespace fennick {
namespace {

[[nodiscard]] QString systemEncodingName()
{
#ifdef Q_OS_WIN
    return QCoreApplication::translate("EncodingCheck", "Code page %1").arg(GetACP());
#else
    const char *name = QStringEncoder(QStringConverter::System).name();
    return QCoreApplication::translate("EncodingCheck", "The system's encoding %1")
        .arg(QString::fromLatin1(name ? name : "?"));
#endif
}

} // namespace

EncodingCheck::EncodingCheck()
    : m_name(systemEncodingName())
{
    // A UTF encoding holds every character: the check costs nothing then.
    m_holdsEverything = writtenFor(u"\u670D").isEmpty() && writtenFor(u"\U0001F600").isEmpty()
                     && writtenFor(u"\u0142").isEmpty();
    m_written.clear();
}

EncodingCheck::EncodingCheck(QStringConverter::Encoding encoding, const QString &name)
    : m_encoding(encoding)
    , m_system(false)
    , m_name(name)
{
}

QByteArray EncodingCheck::encoded(QStringView character) const
{
    if (m_system)
        return SystemEncoder().encode(character); // exactly as Save converts
    QStringEncoder encoder(m_encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(character);
}

QString EncodingCheck::writtenFor(QStringView character) const
{
    const QString key = character.toString();
    if (const auto known = m_written.constFind(key); known != m_written.cend())
        return *known;
    // What the file shows is what its bytes read back as.
    QStringDecoder decoder(m_encoding, QStringConverter::Flag::Stateless);
    QString back = decoder.decode(encoded(character));
    if (back == character)
        back.clear();
    m_written.insert(key, back);
    return back;
}

QString EncodingCheck::shown(QStringView character)
{
    if (character.size() == 1 && character[0].isSurrogate())
        return QStringLiteral("U+%1").arg(character[0].unicode(), 4, 16, QChar(u'0')).toUpper();
    return character.toString();
}

QString replacementsNote(const Replacements &replacements, const EncodingCheck &check)
{
    if (replacements.count == 0)
        return {};
    if (replacements.count == 1)
        return QCoreApplication::translate("EncodingCheck",
                                           "%1 has no place for one character of the text: the "
                                           "file holds \"%3\" in its place, on line %2.")
            .arg(check.name())
            .arg(replacements.firstLine)
            .arg(replacements.firstWritten);
    return QCoreApplication::translate("EncodingCheck",
                                       "%1 has no place for %2 characters of the text: the file "
                                       "holds \"%4\" in their place, the first on line %3.")
        .arg(check.name())
        .arg(replacements.count)
        .arg(replacements.firstLine)
        .arg(replacements.firstWritten);
}

} // namespace fennick
