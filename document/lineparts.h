// What one line of the configuration file is made of, as the preview
// colours it: a comment, the section header, or a setting whose key stands
// before " = "; and where the blanks at its end begin, which the server
// reads but nobody sees.
#pragma once

#include <QStringView>

namespace fennick {

struct LineParts {
    enum class Kind { Other, Comment, SectionHeader, Setting };
    Kind kind = Kind::Other;
    qsizetype keyLength = 0;          // Setting: the text before the first " = "
    qsizetype trailingBlanksFrom = 0; // the line's length when it ends in no blank
};

[[nodiscard]] LineParts lineParts(QStringView line);

} // namespace fennick
