// What one line of the configuration file is made of, as the preview
// colours it: a comment, the section header, or a setting whose key stands
// before " = "; and where the blanks at its end begin (unusual spaces
// too), which the server reads but nobody sees.
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

// Spaces that look like a blank but are none: pasted from a web page or a
// chat, a no-break space after a key hides the key from the server.
[[nodiscard]] constexpr bool isUnusualSpace(char16_t c)
{
    return c == u'\u00A0' || c == u'\u1680' || (c >= u'\u2000' && c <= u'\u200A') || c == u'\u202F'
        || c == u'\u205F' || c == u'\u3000';
}

// A blank, a tab or an unusual space: what the eye takes for a blank.
[[nodiscard]] constexpr bool looksBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || isUnusualSpace(c);
}

// "U+202E RIGHT-TO-LEFT OVERRIDE": the code and the character's name (its
// usual alias for a control), for a character isInvisibleCharacter() or
// isUnusualSpace() takes.
[[nodiscard]] QString invisibleCharacterName(char16_t c);

} // namespace fennick
