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

bool CheckedText::forEachPiece(const std::function<bool(QStringView)> &visit) const
{
    m_found = {};
    m_line = 1;
    m_highSurrogate = {};
    m_afterCr = false;
    const bool whole = m_text.forEachPiece([this, &visit](QStringView piece) {
        count(piece);
        return visit(piece);
    });
    if (!m_highSurrogate.isNull()) // half a pair at the very end
        count(u"");
    return whole;
}

void CheckedText::count(QStringView piece) const
{
    const auto found = [this](qsizetype line, const QString &written) {
        if (m_found.count++ == 0) {
            m_found.firstLine = line;
            m_found.firstWritten = written;
        }
    };
    const bool emptyPiece = piece.isEmpty();
    // A pair split between two pieces is read as one character.
    if (!m_highSurrogate.isNull()) {
        const bool paired = !piece.isEmpty() && piece.front().isLowSurrogate();
        const QChar pair[] = {m_highSurrogate, paired ? piece.front() : QChar()};
        const QString character(pair, paired ? 2 : 1);
        if (const QString written = m_check.writtenFor(character); !written.isEmpty())
            found(m_line, written);
        m_highSurrogate = {};
        piece = piece.sliced(paired ? 1 : 0);
    }
    if (!piece.isEmpty() && piece.back().isHighSurrogate()) {
        m_highSurrogate = piece.back();
        piece.chop(1);
    }
    // The lines are counted up to the first character written otherwise, as
    // the file will number them.
    qsizetype crEnd = m_afterCr ? 0 : -1; // just after the last CR
    m_check.forEachReplaced(
        piece, [&](qsizetype, qsizetype, const QString &written) { found(m_line, written); },
        [&](qsizetype position, char16_t unit) {
            const bool pairsCr = unit == u'\n' && position == crEnd;
            if (unit == u'\r')
                crEnd = position + 1;
            if (!pairsCr && m_found.count == 0)
                ++m_line;
        });
    if (!emptyPiece)
        m_afterCr = m_highSurrogate.isNull() && crEnd == piece.size();
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
