#include "document/lineparts.h"

#include <array>
#include <string_view>
#include <utility>

namespace fennick {
namespace {

constexpr std::array<std::string_view, 32> controlNames{"NULL",
                                                        "START OF HEADING",
                                                        "START OF TEXT",
                                                        "END OF TEXT",
                                                        "END OF TRANSMISSION",
                                                        "ENQUIRY",
                                                        "ACKNOWLEDGE",
                                                        "BELL",
                                                        "BACKSPACE",
                                                        "CHARACTER TABULATION",
                                                        "LINE FEED",
                                                        "LINE TABULATION",
                                                        "FORM FEED",
                                                        "CARRIAGE RETURN",
                                                        "SHIFT OUT",
                                                        "SHIFT IN",
                                                        "DATA LINK ESCAPE",
                                                        "DEVICE CONTROL ONE",
                                                        "DEVICE CONTROL TWO",
                                                        "DEVICE CONTROL THREE",
                                                        "DEVICE CONTROL FOUR",
                                                        "NEGATIVE ACKNOWLEDGE",
                                                        "SYNCHRONOUS IDLE",
                                                        "END OF TRANSMISSION BLOCK",
                                                        "CANCEL",
                                                        "END OF MEDIUM",
                                                        "SUBSTITUTE",
                                                        "ESCAPE",
                                                        "FILE SEPARATOR",
                                                        "GROUP SEPARATOR",
                                                        "RECORD SEPARATOR",
                                                        "UNIT SEPARATOR"};

constexpr std::array<std::pair<char16_t, std::string_view>, 31> formatNames{{
    {u'\u00A0', "NO-BREAK SPACE"},
    {u'\u1680', "OGHAM SPACE MARK"},
    {u'\u2000', "EN QUAD"},
    {u'\u2001', "EM QUAD"},
    {u'\u2002', "EN SPACE"},
    {u'\u2003', "EM SPACE"},
    {u'\u2004', "THREE-PER-EM SPACE"},
    {u'\u2005', "FOUR-PER-EM SPACE"},
    {u'\u2006', "SIX-PER-EM SPACE"},
    {u'\u2007', "FIGURE SPACE"},
    {u'\u2008', "PUNCTUATION SPACE"},
    {u'\u2009', "THIN SPACE"},
    {u'\u200A', "HAIR SPACE"},
    {u'\u202F', "NARROW NO-BREAK SPACE"},
    {u'\u205F', "MEDIUM MATHEMATICAL SPACE"},
    {u'\u3000', "IDEOGRAPHIC SPACE"},
    {u'\uFEFF', "ZERO WIDTH NO-BREAK SPACE (BYTE ORDER MARK)"},
    {u'\u200B', "ZERO WIDTH SPACE"},
    {u'\u200C', "ZERO WIDTH NON-JOINER"},
    {u'\u200D', "ZERO WIDTH JOINER"},
    {u'\u200E', "LEFT-TO-RIGHT MARK"},
    {u'\u200F', "RIGHT-TO-LEFT MARK"},
    {u'\u202A', "LEFT-TO-RIGHT EMBEDDING"},
    {u'\u202B', "RIGHT-TO-LEFT EMBEDDING"},
    {u'\u202C', "POP DIRECTIONAL FORMATTING"},
    {u'\u202D', "LEFT-TO-RIGHT OVERRIDE"},
    {u'\u202E', "RIGHT-TO-LEFT OVERRIDE"},
    {u'\u2066', "LEFT-TO-RIGHT ISOLATE"},
    {u'\u2067', "RIGHT-TO-LEFT ISOLATE"},
    {u'\u2068', "FIRST STRONG ISOLATE"},
    {u'\u2069', "POP DIRECTIONAL ISOLATE"},
}};

} // namespace

QString invisibleCharacterName(char16_t c)
{
    std::string_view name;
    if (c < controlNames.size())
        name = controlNames[c];
    for (const auto &[code, formatName] : formatNames)
        if (code == c)
            name = formatName;
    return QStringLiteral("U+%1 ").arg(int(c), 4, 16, QChar(u'0')).toUpper()
         + QString::fromLatin1(name.data(), qsizetype(name.size()));
}

LineParts lineParts(QStringView line)
{
    LineParts parts;
    qsizetype end = line.size();
    while (end > 0 && looksBlank(line[end - 1].unicode()))
        --end;
    parts.trailingBlanksFrom = end;
    // A comment runs to the end of its line, whatever follows the ";": also
    // a record that a step appended to a comment line.
    if (line.startsWith(u';')) {
        parts.kind = LineParts::Kind::Comment;
    } else if (line.startsWith(u'[') && end > 1 && line[end - 1] == u']') {
        parts.kind = LineParts::Kind::SectionHeader;
    } else if (const qsizetype equals = line.indexOf(u" = "); equals > 0) {
        parts.kind = LineParts::Kind::Setting;
        parts.keyLength = equals;
    }
    return parts;
}

} // namespace fennick
