#include "wizard/linechecks.h"

#include "document/lineparts.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace fennick {
namespace {

[[nodiscard]] QString tr(const char *text)
{
    return QCoreApplication::translate("LineChecks", text);
}

// One line of a template, as the server reads it back.
struct LineTemplate {
    QString key;
    bool record = false;       // a step adds it again and again
    bool belowSection = false; // the template puts it under the section header
    QList<Control> fields;     // whose text each value is, in order
    // Blanks at the line's end that are the format's: the template's own and
    // those its last field's default ends with (Ammunation's "12.428 ").
    qsizetype formatBlanks = 0;
};

struct FieldUse {
    QString key;
    bool alone = true; // the line's only value
};

struct Templates {
    QHash<QString, LineTemplate> lines;
    QStringList keys; // in the templates' order
    QString sectionHeader;
    QHash<Control, FieldUse> fieldUses; // the first line that reads each field
};

[[nodiscard]] qsizetype blanksAtEnd(std::string_view text)
{
    const auto last = text.find_last_not_of(' ');
    return qsizetype(last == text.npos ? text.size() : text.size() - last - 1);
}

// Read once from the templates and the catalogue; nothing about the formats
// is written down a second time.
[[nodiscard]] Templates readTemplates()
{
    Templates read;
    bool belowSection = false;
    for (const auto &[piece, text] : pieceTemplates) {
        const bool record = std::ranges::any_of(buttonTable, [piece](const ButtonDefinition &b) {
            return b.role == ButtonRole::RepeatsStep && b.piece == piece;
        });
        std::string_view rest = text;
        while (!rest.empty()) {
            const auto end = std::min(rest.find("\r\n"), rest.size());
            const std::string_view line = rest.substr(0, end);
            rest.remove_prefix(std::min(rest.size(), end + 2));
            if (line.starts_with('[') && line.ends_with(']')) {
                read.sectionHeader = toQString(line);
                belowSection = true;
                continue;
            }
            const auto equals = line.find(" = ");
            if (equals == line.npos)
                continue;
            LineTemplate row{toQString(line.substr(0, equals)), record, belowSection, {}, 0};
            std::string_view lastText;
            walkTemplate(
                line.substr(equals + 3), [&](std::string_view fixed) { lastText = fixed; },
                [&](std::string_view name) {
                    row.fields.append(*controlNamed(name));
                    lastText = {};
                });
            if (!row.fields.isEmpty())
                row.formatBlanks
                    = blanksAtEnd(lastText) + blanksAtEnd(field(row.fields.back()).defaultText);
            for (Control control : std::as_const(row.fields))
                if (!read.fieldUses.contains(control))
                    read.fieldUses.insert(control, {row.key, row.fields.size() == 1});
            read.keys.append(row.key);
            read.lines.insert(row.key, row);
        }
    }
    return read;
}

[[nodiscard]] const Templates &templates()
{
    static const Templates read = readTemplates();
    return read;
}

[[nodiscard]] QStringView withoutSign(QStringView text)
{
    return text.startsWith(u'-') || text.startsWith(u'+') ? text.sliced(1) : text;
}

[[nodiscard]] bool isWholeNumber(QStringView text)
{
    const QStringView digits = withoutSign(text);
    return !digits.isEmpty()
        && std::ranges::all_of(digits, [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A sign, digits and at most one point.
[[nodiscard]] bool isNumber(QStringView text)
{
    const QStringView digits = withoutSign(text);
    return digits.count(u'.') <= 1 && digits.size() > digits.count(u'.')
        && std::ranges::all_of(digits,
                               [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'.'; });
}

[[nodiscard]] bool isQuoted(QStringView text)
{
    return text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')
        && text.count(u'"') == 2;
}

[[nodiscard]] QString listed(const FieldDefinition &definition)
{
    QStringList items;
    for (std::string_view item : definition.items)
        if (!item.empty())
            items.append(toQString(item));
    const QString last = items.takeLast();
    return items.join(QStringLiteral(", ")) + tr(" and ") + last;
}

struct Trouble {
    LineMark::Kind kind;
    QString message;
};

// What is wrong with a value for the field it comes from; subject names it
// as the user sees it in the line ("MaxPlayers", "Vehicle's Model ID").
[[nodiscard]] std::optional<Trouble> valueTrouble(Control control, const QString &subject,
                                                  QStringView value)
{
    const FieldDefinition &definition = field(control);
    const QString example = toQString(definition.defaultText).trimmed();
    if (const ValueRange &range = definition.range; !range.noun.empty()) {
        bool number = isWholeNumber(value);
        const qlonglong n = number ? value.toLongLong(&number) : 0;
        if (!number || n < range.lowest || n > range.highest)
            return Trouble{LineMark::Kind::Fault, tr("%1 takes a %2 from %3 to %4")
                                                      .arg(subject, toQString(range.noun))
                                                      .arg(range.lowest)
                                                      .arg(range.highest)};
    } else if (isWholeNumber(example)) {
        if (!isWholeNumber(value))
            return Trouble{LineMark::Kind::Fault,
                           tr("%1 takes a whole number, such as %2").arg(subject, example)};
    } else if (isNumber(example)) {
        if (!isNumber(value))
            return Trouble{LineMark::Kind::Fault,
                           tr("%1 takes a number, such as %2").arg(subject, example)};
    } else if (isQuoted(example)) {
        if (!isQuoted(value)) {
            QString inside = value.toString().remove(u'"');
            if (inside.isEmpty())
                inside = example.mid(1, example.size() - 2);
            return Trouble{LineMark::Kind::Fault,
                           tr("%1 is read between quotation marks: \"%2\"").arg(subject, inside)};
        }
    }
    if (!definition.items.front().empty()
        && std::ranges::none_of(definition.items,
                                [&](std::string_view item) { return value == toQString(item); }))
        return Trouble{LineMark::Kind::Note,
                       tr("%1: Fennick's list offers %2").arg(subject, listed(definition))};
    return {};
}

[[nodiscard]] QString subjectOf(const QString &key, Control control, bool alone)
{
    if (alone)
        return key;
    QString caption = toQString(field(control).caption);
    if (caption.endsWith(u':'))
        caption.chop(1);
    return tr("%1's %2").arg(key, caption);
}

[[nodiscard]] QString nearestKey(QStringView key)
{
    constexpr int farthest = 2;
    QString best;
    int bestDistance = farthest + 1;
    for (const QString &known : templates().keys) {
        // Keys that differ in length by more than the limit cannot be near.
        if (std::abs(known.size() - key.size()) > farthest)
            continue;
        const int distance = editDistance(key, known);
        if (distance < bestDistance || (distance == bestDistance && known < best)) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

// A key followed by a no-break space or another look-alike before "=" (or
// one after it) is not the key to the server.
[[nodiscard]] std::optional<LineMark> lookAlikeBlank(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0)
        return {};
    qsizetype keyEnd = equals;
    while (keyEnd > 0 && looksBlank(line[keyEnd - 1].unicode()))
        --keyEnd;
    const QString key = line.first(keyEnd).toString();
    if (!templates().lines.contains(key))
        return {};
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = keyEnd; i <= std::min(equals + 1, line.size() - 1); ++i) {
        if (i != equals && isUnusualSpace(line[i].unicode())) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    if (first < 0)
        return {};
    return LineMark{first, last - first + 1, LineMark::Kind::Fault,
                    tr("The %1 beside %2 is no blank to the server, so it does not find %2: "
                       "type a blank in its place")
                        .arg(invisibleCharacterName(line[first].unicode()), key)};
}

// A setting or record that a step appended to a comment line, as Add Class
// does after Clear: the server skips the whole line. A line that starts
// with the key after its ";" was commented out on purpose.
[[nodiscard]] std::optional<LineMark> settingInComment(QStringView line)
{
    qsizetype commentStart = 1;
    while (commentStart < line.size() && looksBlank(line[commentStart].unicode()))
        ++commentStart;
    qsizetype found = -1;
    QString foundKey;
    for (const QString &key : templates().keys) {
        const qsizetype at = line.indexOf(key + QStringLiteral(" = "), commentStart);
        if (at > commentStart
            && (found < 0 || at < found || (at == found && key.size() > foundKey.size()))) {
            found = at;
            foundKey = key;
        }
    }
    if (found < 0)
        return {};
    const QString message
        = templates().lines[foundKey].record
            ? tr("This %1 record stands on a comment line, so the server skips it")
            : tr("This %1 setting stands on a comment line, so the server "
                 "skips it");
    return LineMark{found, line.size() - found, LineMark::Kind::Fault, message.arg(foundKey)};
}

void checkSetting(QStringView line, const LineParts &parts, const LinesAbove &above,
                  QList<LineMark> &marks, qsizetype &formatBlanks)
{
    const QString key = line.first(parts.keyLength).toString();
    const LineMark keyMark{0, parts.keyLength, LineMark::Kind::Fault, {}};
    const auto onKey = [&](const QString &message) {
        LineMark mark = keyMark;
        mark.message = message;
        marks.append(mark);
    };
    const auto found = templates().lines.constFind(key);
    if (found == templates().lines.cend()) {
        const QString nearest = nearestKey(key);
        onKey(nearest.isEmpty() ? tr("Not a setting Fennick knows.")
                                : tr("Not a setting Fennick knows: did you mean %1?").arg(nearest));
        return;
    }
    const LineTemplate &form = *found;
    formatBlanks = form.formatBlanks;
    if (!form.record)
        if (const int earlier = above.settingAbove(key); earlier >= 0)
            onKey(tr("%1 is already set on line %2").arg(key).arg(earlier + 1));
    const QString &header = templates().sectionHeader;
    if (form.belowSection != above.sectionAbove())
        onKey((form.belowSection ? tr("%1 stands above %2, where the server does not look for "
                                      "it: move it below %2")
                                 : tr("%1 stands below %2, where the server does not look for "
                                      "it: move it above %2"))
                  .arg(key, header));

    // The values, as the server parts them: at the blanks.
    const qsizetype valueStart = parts.keyLength + 3;
    const qsizetype valueEnd = std::max(valueStart, parts.trailingBlanksFrom);
    const QStringView value = line.sliced(valueStart, valueEnd - valueStart);
    const auto markValue = [&](qsizetype start, qsizetype length, const Trouble &trouble) {
        // An empty value has no room for a mark: the key carries it.
        marks.append(length > 0 ? LineMark{start, length, trouble.kind, trouble.message}
                                : LineMark{0, parts.keyLength, trouble.kind, trouble.message});
    };
    if (form.fields.size() == 1) {
        if (const auto trouble = valueTrouble(form.fields.front(), key, value))
            markValue(valueStart, value.size(), *trouble);
        return;
    }
    QList<std::pair<qsizetype, qsizetype>> values; // start and length
    for (qsizetype i = 0; i < value.size();) {
        if (value[i] == u' ' || value[i] == u'\t') {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < value.size() && value[end] != u' ' && value[end] != u'\t')
            ++end;
        values.append({valueStart + i, end - i});
        i = end;
    }
    if (values.size() != form.fields.size()) {
        markValue(valueStart, value.size(),
                  {LineMark::Kind::Fault, tr("%1 takes %2 values; this line has %3")
                                              .arg(key)
                                              .arg(form.fields.size())
                                              .arg(values.size())});
        return;
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        const auto [start, length] = values[i];
        if (const auto trouble = valueTrouble(form.fields[i], subjectOf(key, form.fields[i], false),
                                              line.sliced(start, length)))
            markValue(start, length, *trouble);
    }
}

} // namespace

QList<LineMark> checkLine(QStringView line, const LinesAbove &above, const EncodingCheck &encoding)
{
    QList<LineMark> marks;
    const LineParts parts = lineParts(line);
    qsizetype formatBlanks = 0;
    bool trailingMeansNothing = false;
    switch (parts.kind) {
    case LineParts::Kind::Comment:
        if (const auto mark = settingInComment(line))
            marks.append(*mark);
        trailingMeansNothing = true; // blanks at the end of a comment mean nothing
        break;
    case LineParts::Kind::Setting:
        if (const auto mark = lookAlikeBlank(line))
            marks.append(*mark);
        else
            checkSetting(line, parts, above, marks, formatBlanks);
        break;
    case LineParts::Kind::Other:
        if (const auto mark = lookAlikeBlank(line))
            marks.append(*mark);
        break;
    case LineParts::Kind::SectionHeader:
        break;
    }

    // The format's own blanks at the end are ordinary ones; any others are
    // the user's.
    // The blank of " = " before an empty value is the key's own.
    const qsizetype trailingFrom = parts.kind == LineParts::Kind::Setting
                                     ? std::max(parts.trailingBlanksFrom, parts.keyLength + 3)
                                     : parts.trailingBlanksFrom;
    qsizetype trailingEnd = line.size();
    for (; formatBlanks > 0 && trailingEnd > trailingFrom && line[trailingEnd - 1] == u' ';
         --formatBlanks)
        --trailingEnd;
    if (const qsizetype count = trailingEnd - trailingFrom; count > 0 && !trailingMeansNothing)
        marks.append({trailingFrom, count, LineMark::Kind::TrailingBlanks,
                      count == 1 ? tr("A blank ends this line: the server reads it, nobody sees "
                                      "it. Delete it unless it is meant")
                                 : tr("%1 blanks end this line: the server reads them, nobody "
                                      "sees them. Delete them unless they are meant")
                                       .arg(count)});

    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        if (isInvisibleCharacter(c) || isUnusualSpace(c))
            marks.append({i, 1, LineMark::Kind::Invisible, invisibleCharacterName(c)});
    }
    encoding.forEachReplaced(
        line, [&](qsizetype position, qsizetype length, const QString &written) {
            marks.append({position, length, LineMark::Kind::Fault,
                          tr("%1 has no %2: Save writes %3 in its place")
                              .arg(encoding.name(),
                                   EncodingCheck::shown(line.sliced(position, length)), written)});
        });
    return marks;
}

std::optional<LineMark> checkFieldText(Control control, QStringView text,
                                       const EncodingCheck &encoding)
{
    const auto use = templates().fieldUses.constFind(control);
    if (use != templates().fieldUses.cend()) {
        // Blanks at the end are the next value's separator to the server.
        QStringView value = text;
        while (!value.isEmpty() && value.back() == u' ')
            value.chop(1);
        if (const auto trouble
            = valueTrouble(control, subjectOf(use->key, control, use->alone), value))
            return LineMark{0, text.size(), trouble->kind, trouble->message};
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isInvisibleCharacter(c) || isUnusualSpace(c))
            return LineMark{
                i, 1, LineMark::Kind::Invisible,
                tr("The text holds %1, which nobody sees").arg(invisibleCharacterName(c))};
    }
    std::optional<LineMark> replaced;
    encoding.forEachReplaced(text, [&](qsizetype position, qsizetype length,
                                       const QString &written) {
        if (!replaced)
            replaced
                = LineMark{position, length, LineMark::Kind::Fault,
                           tr("%1 has no %2: Save writes %3 in its place")
                               .arg(encoding.name(),
                                    EncodingCheck::shown(text.sliced(position, length)), written)};
    });
    return replaced;
}

namespace {

// What a line tells the lines below it: the key it sets, or that it is the
// section header.
struct LineRole {
    QStringView key;
    bool sectionHeader = false;
};

[[nodiscard]] LineRole roleOf(QStringView line)
{
    if (const LineParts parts = lineParts(line); parts.kind == LineParts::Kind::Setting)
        return {line.first(parts.keyLength), false};
    return {{}, line.startsWith(templates().sectionHeader)};
}

} // namespace

QList<LineMark> TopDownChecks::next(QStringView line)
{
    QList<LineMark> marks = checkLine(line, *this, m_encoding);
    if (const LineRole role = roleOf(line); !role.key.isEmpty())
        m_lastSet.insert(role.key.toString(), m_line);
    else if (role.sectionHeader)
        m_sectionAbove = true;
    ++m_line;
    return marks;
}

class ViewChecks::Above final : public LinesAbove {
public:
    Above(const ViewChecks &checks, int line)
        : m_checks(checks)
        , m_line(line)
    {
        m_checks.indexTo(line);
    }

    [[nodiscard]] int settingAbove(const QString &key) const override
    {
        const auto lines = m_checks.m_settingLines.constFind(key);
        if (lines == m_checks.m_settingLines.cend())
            return -1;
        const auto after = std::lower_bound(lines->cbegin(), lines->cend(), m_line);
        return after == lines->cbegin() ? -1 : *(after - 1);
    }
    [[nodiscard]] bool sectionAbove() const override
    {
        return m_checks.m_sectionLine >= 0 && m_checks.m_sectionLine < m_line;
    }

private:
    const ViewChecks &m_checks;
    int m_line;
};

ViewChecks::ViewChecks(WalkDown walkDown)
    : m_walkDown(std::move(walkDown))
{
}

void ViewChecks::indexTo(int line) const
{
    if (line <= m_indexed)
        return;
    m_walkDown(m_indexed, [&](int number, QStringView text) {
        if (number >= line)
            return false;
        if (const LineRole role = roleOf(text); !role.key.isEmpty())
            m_settingLines[role.key.toString()].append(number);
        else if (role.sectionHeader && m_sectionLine < 0)
            m_sectionLine = number;
        m_indexed = number + 1;
        return true;
    });
}

QList<LineMark> ViewChecks::marks(int line, QStringView text) const
{
    if (const auto known = m_checked.constFind(line);
        known != m_checked.cend() && known->text == text)
        return known->marks;
    QList<LineMark> marks = checkLine(text, Above(*this, line), m_encoding);
    constexpr qsizetype kept = 500;
    if (m_checked.size() >= kept)
        m_checked.clear();
    m_checked.insert(line, {text.toString(), marks});
    return marks;
}

// A change on a line leaves every line above it, and their numbers, as
// they were: what the index holds of them stays true.
void ViewChecks::forgetFrom(int line)
{
    m_checked.removeIf([line](const auto &entry) { return entry.key() >= line; });
    if (line >= m_indexed)
        return;
    m_settingLines.removeIf([line](auto entry) {
        QList<int> &lines = entry.value();
        while (!lines.isEmpty() && lines.back() >= line)
            lines.removeLast();
        return lines.isEmpty();
    });
    if (m_sectionLine >= line)
        m_sectionLine = -1;
    m_indexed = line;
}

int editDistance(QStringView a, QStringView b)
{
    // One row of the classic table at a time.
    QList<int> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j]
                = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace fennick
