#include "document/lineparts.h"

namespace fennick {

LineParts lineParts(QStringView line)
{
    LineParts parts;
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == u' ' || line[end - 1] == u'\t'))
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
