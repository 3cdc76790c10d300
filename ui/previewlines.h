// How the preview shows the configuration's lines: their colours, taken
// from the palette so that dark themes work, and the gutter that numbers
// them as the saved file does.
#pragma once

#include "document/lineparts.h"

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
    QBrush trailingBlanks;
    QColor invisible; // marks a character that takes no room or turns the text
    QColor problem;   // the wavy line under a key the server reads otherwise
    QColor gutter;
    QColor lineNumber;
    QColor currentLineNumber;

    [[nodiscard]] static PreviewColours from(const QPalette &palette);
};

// The colour ranges of one line; the font stays the preview's own. A key
// the server will not read as meant is underlined.
[[nodiscard]] QList<QTextLayout::FormatRange> lineFormats(QStringView line, const LineParts &parts,
                                                          bool keyHasProblem,
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
