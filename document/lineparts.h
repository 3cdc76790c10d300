// What one line of the configuration file is made of, as the preview
// colours it: a comment, the section header, or a setting whose key stands
// before " = "; and where the blanks at its end begin, which the server
// reads but nobody sees.
#pragma once

#include <QString>
#include <QStringView>

namespace fennick {

struct LineParts {
    enum class Kind { Other, Comment, SectionHeader, Setting };
    Kind kind = Kind::Other;
    qsizetype keyLength = 0;          // Setting: the text before the first " = "
    qsizetype trailingBlanksFrom = 0; // the line's length when it ends in no blank
};

[[nodiscard]] LineParts lineParts(QStringView line);

// Characters that take no room or turn the direction of the text around, so
// that a line reads otherwise than the server reads it: the byte-order mark,
// the zero-width and direction marks, embeddings, overrides and isolates,
// and the C0 controls but tab.
[[nodiscard]] constexpr bool isInvisibleCharacter(char16_t c)
{
    return (c < u' ' && c != u'\t') || c == u'\uFEFF' || (c >= u'\u200B' && c <= u'\u200F')
        || (c >= u'\u202A' && c <= u'\u202E') || (c >= u'\u2066' && c <= u'\u2069');
}

// "U+202E RIGHT-TO-LEFT OVERRIDE": the code and the character's name (its
// usual alias for a control), for a character isInvisibleCharacter() takes.
[[nodiscard]] QString invisibleCharacterName(char16_t c);

} // namespace fennick
