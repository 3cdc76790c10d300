// Every line of the document read as the server will read it, with the
// very templates that write it: the key, its values and the field each
// value comes from. The rules follow from the field catalogue (a default
// that is a whole number asks for one, a quoted default for quotes, a
// combo's list, a port's range) and from the templates (how many values a
// record has, which side of the section header a key belongs on). Each
// trouble is a mark: where it stands on the line, what kind it is, and
// what to tell the user; the window only draws and speaks them.
#pragma once

#include "document/encodingcheck.h"
#include "wizard/controls.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace fennick {

struct LineMark {
    enum class Kind {
        Fault,          // the server reads the line otherwise than it looks
        Note,           // worth a look, not wrong: a combo takes any text
        Invisible,      // a character that takes no room or looks like a blank
        TrailingBlanks, // blanks at the end that the server reads and nobody sees
    };
    qsizetype start = 0;
    qsizetype length = 0;
    Kind kind = Kind::Fault;
    QString message;

    [[nodiscard]] bool contains(qsizetype position) const
    {
        return position >= start && position < start + length;
    }
    friend bool operator==(const LineMark &, const LineMark &) = default;
};

// What the rules need to know of the lines above the one they read.
class LinesAbove {
public:
    virtual ~LinesAbove() = default;
    // The number (from 0) of the nearest line above that sets key, or -1.
    [[nodiscard]] virtual int settingAbove(const QString &key) const = 0;
    // Whether the game section's header stands on a line above.
    [[nodiscard]] virtual bool sectionAbove() const = 0;
};

// The marks of one line, in the order of the rules: the line's own faults
// and notes first, then its characters.
[[nodiscard]] QList<LineMark> checkLine(QStringView line, const LinesAbove &above,
                                        const EncodingCheck &encoding);

// The mark a field's text earns before its step's button appends it, with
// the message the preview gives the same value; none for a good value.
[[nodiscard]] std::optional<LineMark> checkFieldText(Control field, QStringView text,
                                                     const EncodingCheck &encoding);

// The lines of a document read from its top: each checked with what stands
// above it, then remembered.
class TopDownChecks final : public LinesAbove {
public:
    explicit TopDownChecks(const EncodingCheck &encoding)
        : m_encoding(encoding)
    {
    }

    [[nodiscard]] QList<LineMark> next(QStringView line);

    [[nodiscard]] int settingAbove(const QString &key) const override
    {
        return m_lastSet.value(key, -1);
    }
    [[nodiscard]] bool sectionAbove() const override { return m_sectionAbove; }

private:
    const EncodingCheck &m_encoding;
    QHash<QString, int> m_lastSet;
    bool m_sectionAbove = false;
    int m_line = 0;
};

// Calls visit(number, text) with each line from line on, top down, until
// visit returns false or the document ends.
using WalkDown = std::function<void(int line, const std::function<bool(int, QStringView)> &visit)>;

// Lines checked one at a time in any order, as a view shows them. What
// stands above a line comes from an index of the settings read from the top
// down once and kept for the lines above a change, so typing at the end of
// a large document, or a screen full of lines, reads it once, not at every
// key or every line.
class ViewChecks {
public:
    explicit ViewChecks(WalkDown walkDown);

    [[nodiscard]] QList<LineMark> marks(int line, QStringView text) const;
    // The text changed from somewhere on line on.
    void forgetFrom(int line);

    [[nodiscard]] const EncodingCheck &encoding() const { return m_encoding; }

private:
    class Above;
    // Reads the lines down to line (not included) into the index.
    void indexTo(int line) const;

    WalkDown m_walkDown;
    EncodingCheck m_encoding;
    struct Checked {
        QString text;
        QList<LineMark> marks;
    };
    mutable QHash<int, Checked> m_checked;
    // Of the lines above m_indexed: for each key the lines that set it, top
    // down, and the line of the first section header (-1: none).
    mutable QHash<QString, QList<int>> m_settingLines;
    mutable int m_sectionLine = -1;
    mutable int m_indexed = 0;
};

// How many single letters must be inserted, deleted or replaced to turn a
// into b.
[[nodiscard]] int editDistance(QStringView a, QStringView b);

} // namespace fennick
