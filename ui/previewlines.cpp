#include "ui/previewlines.h"

#include "ui/contrast.h"
#include "ui/previewedit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include <algorithm>
#include <cstdlib>

namespace fennick {
namespace {

constexpr int gutterPadding = 1;

[[nodiscard]] int hueDistance(int a, int b)
{
    const int d = std::abs(a - b) % 360;
    return std::min(d, 360 - d);
}

// A small return arrow, as editors mark a wrapped line: down, then right
// to the text, within a box one digit wide and one line high.
void drawContinuationArrow(QPainter &painter, const QRectF &box)
{
    const qreal x = box.left() + box.width() * 0.25;
    const qreal right = box.right();
    const qreal y = box.top() + box.height() * 0.6;
    const qreal head = box.width() * 0.35;
    painter.drawLine(QPointF(x, box.top() + box.height() * 0.2), QPointF(x, y));
    painter.drawLine(QPointF(x, y), QPointF(right, y));
    painter.drawLine(QPointF(right, y), QPointF(right - head, y - head));
    painter.drawLine(QPointF(right, y), QPointF(right - head, y + head));
}

} // namespace

PreviewColours PreviewColours::from(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    PreviewColours colours;
    colours.comment = atContrast(palette.color(QPalette::PlaceholderText), base, textContrast);
    // The header in a hue of its own, far from the keys' and never grey like
    // the comments: some dark themes give visited links a colour that,
    // lightened to be legible, fades to the comments' grey.
    const QColor link = palette.color(QPalette::Link);
    QColor header = palette.color(QPalette::LinkVisited);
    if (header.hslHue() < 0 || hueDistance(header.hslHue(), link.hslHue()) < 45)
        header = QColor::fromHsl((std::max(0, link.hslHue()) + 90) % 360, 200, 128);
    colours.sectionHeader = atContrastInHue(header, base, textContrast, 0.5);
    colours.key = atContrast(link, base, textContrast);
    // Every mark stands out from the background as a graphic must, in its
    // own hue: the tint of the blanks in the selection's, the bar of an
    // invisible character in a purple, faults in red and notes in amber.
    colours.trailingBlanks
        = atContrastInHue(palette.color(QPalette::Highlight), base, graphicContrast, 0.5);
    colours.invisible = atContrastInHue(QColor(190, 40, 190), base, graphicContrast, 0.5);
    colours.problem = atContrastInHue(QColor(220, 30, 30), base, graphicContrast, 0.6);
    colours.note = atContrastInHue(QColor(200, 140, 0), base, graphicContrast, 0.6);
    colours.gutter = palette.color(QPalette::Window);
    colours.lineNumber
        = atContrast(palette.color(QPalette::PlaceholderText), colours.gutter, textContrast);
    colours.currentLineNumber = palette.color(QPalette::WindowText);
    return colours;
}

QList<QTextLayout::FormatRange> lineFormats(QStringView line, const LineParts &parts,
                                            const QList<LineMark> &marks,
                                            const PreviewColours &colours)
{
    const qsizetype length = line.size();
    QList<QTextLayout::FormatRange> formats;
    const auto add = [&formats](qsizetype start, qsizetype end, auto setter) {
        if (end <= start)
            return;
        QTextLayout::FormatRange range{int(start), int(end - start), {}};
        setter(range.format);
        formats.append(range);
    };
    switch (parts.kind) {
    case LineParts::Kind::Comment:
        add(0, length, [&](QTextCharFormat &f) { f.setForeground(colours.comment); });
        break;
    case LineParts::Kind::SectionHeader:
        add(0, parts.trailingBlanksFrom,
            [&](QTextCharFormat &f) { f.setForeground(colours.sectionHeader); });
        break;
    case LineParts::Kind::Setting:
        add(0, parts.keyLength, [&](QTextCharFormat &f) { f.setForeground(colours.key); });
        break;
    case LineParts::Kind::Other:
        break;
    }
    // Invisible characters are painted where they stand, not formatted.
    for (const LineMark &mark : marks) {
        const qsizetype end = mark.start + mark.length;
        switch (mark.kind) {
        case LineMark::Kind::Fault:
            add(mark.start, end, [&](QTextCharFormat &f) {
                f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
                f.setUnderlineColor(colours.problem);
            });
            break;
        case LineMark::Kind::Note:
            add(mark.start, end, [&](QTextCharFormat &f) {
                f.setUnderlineStyle(QTextCharFormat::DotLine);
                f.setUnderlineColor(colours.note);
            });
            break;
        case LineMark::Kind::TrailingBlanks:
            add(mark.start, end,
                [&](QTextCharFormat &f) { f.setBackground(colours.trailingBlanks); });
            break;
        case LineMark::Kind::Invisible:
            break;
        }
    }
    return formats;
}

LineNumberGutter::LineNumberGutter(PreviewEdit *preview)
    : QWidget(preview)
    , m_preview(preview)
{
}

int LineNumberGutter::widthFor(int lineCount) const
{
    // As many digits as the last line's number has, two at least: the room
    // goes to the text, so that the banner stands on one screen line a line.
    // Where the width grows (at 100 lines, 1,000 ...) Qt lays out every line
    // again; the preview sets the width before a large insert, while the
    // document is still small.
    int digits = 2;
    for (int n = lineCount; n >= 100; n /= 10)
        ++digits;
    const QFontMetrics metrics(m_preview->font());
    return 2 * gutterPadding + digits * metrics.horizontalAdvance(u'9');
}

void LineNumberGutter::paintEvent(QPaintEvent *event)
{
    const PreviewColours &colours = m_preview->colours();
    QPainter painter(this);
    painter.fillRect(event->rect(), colours.gutter);
    painter.setFont(m_preview->font());
    const QFontMetrics metrics(m_preview->font());
    const int digitWidth = metrics.horizontalAdvance(u'9');
    const int current = m_preview->textCursor().blockNumber();
    const int top = m_preview->viewport()->y() - y();
    // Each number drawn at its point, right-aligned by its digits (all
    // equally wide): far cheaper than laying out text in a rectangle.
    m_preview->forEachVisibleLine([&](const QTextBlock &block, const QRectF &rect) {
        const int lineTop = top + qRound(rect.top());
        if (lineTop > event->rect().bottom() || lineTop + rect.height() < event->rect().top())
            return;
        const QString number = QString::number(block.blockNumber() + 1);
        painter.setPen(block.blockNumber() == current ? colours.currentLineNumber
                                                      : colours.lineNumber);
        const int left = width() - gutterPadding - int(number.size()) * digitWidth;
        painter.drawText(QPoint(left, lineTop + metrics.ascent()), number);
        const QTextLayout *layout = block.layout();
        painter.setPen(colours.lineNumber);
        for (int i = 1; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const QRectF box(width() - gutterPadding - digitWidth, top + rect.top() + line.y(),
                             digitWidth, line.height());
            drawContinuationArrow(painter, box);
        }
    });
}

} // namespace fennick
