// How the preview shows the configuration's lines: their colours, taken
// from the palette so that dark themes work, and the gutter that numbers
// them as the saved file does.
#pragma once

#include "document/lineparts.h"
#include "wizard/linechecks.h"

#include <QBrush>
#include <QColor>
#include <QList>
#include <QTextLayout>
#include <QWidget>

namespace fennick {

class PreviewEdit;

struct PreviewColours {
    QColor comment;
    QColor sectionHeader;
    QColor key;
    QBrush trailingBlanks; // the tint of blanks at a line's end that nobody sees
    QColor invisible;      // marks a character that takes no room or looks like a blank
    QColor problem;        // the wavy line under what the server reads otherwise
    QColor note;           // the dotted line under a value worth a look
    QColor gutter;
    QColor lineNumber;
    QColor currentLineNumber;

    [[nodiscard]] static PreviewColours from(const QPalette &palette);
};

// The colour ranges of one line, and the lines and tints of its marks; the
// font stays the preview's own.
[[nodiscard]] QList<QTextLayout::FormatRange> lineFormats(QStringView line, const LineParts &parts,
                                                          const QList<LineMark> &marks,
                                                          const PreviewColours &colours);

// Beside the text, the number of each line on its first screen line, and a
// return arrow on each screen line that a long line wraps onto, so that a
// continuation is never taken for a line of its own.
class LineNumberGutter : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberGutter(PreviewEdit *preview);

    [[nodiscard]] int widthFor(int lineCount) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PreviewEdit *m_preview;
};

} // namespace fennick
