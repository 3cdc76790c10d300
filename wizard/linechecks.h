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
#include <utility>

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

// Calls visit(number, text) with each line above line, nearest first,
// until visit returns false.
using WalkUp = std::function<void(int line, const std::function<bool(int, QStringView)> &visit)>;

// Lines checked one at a time in any order, as a view shows them. What
// stands above a line is found by walking up, once: the answer is kept
// until the text above the line changes, so typing at the end of a large
// document walks it once, not at every key.
class ViewChecks {
public:
    explicit ViewChecks(WalkUp walkUp);

    [[nodiscard]] QList<LineMark> marks(int line, QStringView text) const;
    // The text changed from somewhere on line on.
    void forgetFrom(int line);

    [[nodiscard]] const EncodingCheck &encoding() const { return m_encoding; }

private:
    class Above;

    WalkUp m_walkUp;
    EncodingCheck m_encoding;
    struct Checked {
        QString text;
        QList<LineMark> marks;
    };
    mutable QHash<int, Checked> m_checked;
    // For a line and a key, the nearest line above that sets it; the empty
    // key stands for the section header.
    mutable QHash<std::pair<int, QString>, int> m_above;
};

// How many single letters must be inserted, deleted or replaced to turn a
// into b.
[[nodiscard]] int editDistance(QStringView a, QStringView b);

} // namespace fennick
