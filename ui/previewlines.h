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
    QColor gutter;
    QColor lineNumber;
    QColor currentLineNumber;

    [[nodiscard]] static PreviewColours from(const QPalette &palette);
};

// The colour ranges of one line of the given length; the font stays the
// preview's own.
[[nodiscard]] QList<QTextLayout::FormatRange> lineFormats(const LineParts &parts, qsizetype length,
                                                          const PreviewColours &colours);

// Beside the text, the number of each line on its first screen line only,
// so that a line wrapped onto the next screen line shows no number there.
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
