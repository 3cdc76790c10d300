#include "ui/previewlines.h"

#include "ui/contrast.h"
#include "ui/previewedit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include <algorithm>

namespace fennick {
namespace {

constexpr int gutterPadding = 3;

} // namespace

PreviewColours PreviewColours::from(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    PreviewColours colours;
    colours.comment = atContrast(palette.color(QPalette::PlaceholderText), base, textContrast);
    colours.sectionHeader = atContrast(palette.color(QPalette::LinkVisited), base, textContrast);
    colours.key = atContrast(palette.color(QPalette::Link), base, textContrast);
    QColor tint = palette.color(QPalette::Highlight);
    tint.setAlphaF(0.3f);
    colours.trailingBlanks = tint;
    colours.gutter = palette.color(QPalette::Window);
    colours.lineNumber
        = atContrast(palette.color(QPalette::PlaceholderText), colours.gutter, textContrast);
    colours.currentLineNumber = palette.color(QPalette::WindowText);
    return colours;
}

QList<QTextLayout::FormatRange> lineFormats(const LineParts &parts, qsizetype length,
                                            const PreviewColours &colours)
{
    QList<QTextLayout::FormatRange> formats;
    const auto add = [&formats](qsizetype start, qsizetype end, auto setter) {
        if (end <= start)
            return;
        QTextLayout::FormatRange range{int(start), int(end - start), {}};
        setter(range.format);
        formats.append(range);
    };
    const qsizetype blanks = parts.trailingBlanksFrom;
    switch (parts.kind) {
    case LineParts::Kind::Comment:
        add(0, length, [&](QTextCharFormat &f) { f.setForeground(colours.comment); });
        return formats; // blanks at the end of a comment mean nothing
    case LineParts::Kind::SectionHeader:
        add(0, blanks, [&](QTextCharFormat &f) { f.setForeground(colours.sectionHeader); });
        break;
    case LineParts::Kind::Setting:
        add(0, parts.keyLength, [&](QTextCharFormat &f) { f.setForeground(colours.key); });
        break;
    case LineParts::Kind::Other:
        break;
    }
    add(blanks, length, [&](QTextCharFormat &f) { f.setBackground(colours.trailingBlanks); });
    return formats;
}

LineNumberGutter::LineNumberGutter(PreviewEdit *preview)
    : QWidget(preview)
    , m_preview(preview)
{
}

int LineNumberGutter::widthFor(int lineCount) const
{
    // Room for six digits at least. A change of width makes Qt lay out every
    // line again and keep a layout for each (60 MB for a document of 10 MB),
    // and moves the text under the user's eyes.
    int digits = 6;
    for (int n = lineCount; n >= 1'000'000; n /= 10)
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
        if (lineTop > event->rect().bottom() || lineTop + metrics.height() < event->rect().top())
            return;
        const QString number = QString::number(block.blockNumber() + 1);
        painter.setPen(block.blockNumber() == current ? colours.currentLineNumber
                                                      : colours.lineNumber);
        const int left = width() - gutterPadding - int(number.size()) * digitWidth;
        painter.drawText(QPoint(left, lineTop + metrics.ascent()), number);
    });
}

} // namespace fennick
