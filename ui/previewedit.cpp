#include "ui/previewedit.h"

#include "document/configfile.h"
#include "document/linebreaks.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace fennick {

PreviewEdit::PreviewEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_gutter(new LineNumberGutter(this))
    , m_colours(PreviewColours::from(palette()))
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &PreviewEdit::fitGutter);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int from, int, int added) { colourChangedLines(from, added); });
    connect(this, &QPlainTextEdit::updateRequest, m_gutter, [this](const QRect &rect, int dy) {
        if (dy != 0)
            m_gutter->scroll(0, dy);
        else
            m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    });
    // The current line's number stands out.
    connect(this, &QPlainTextEdit::cursorPositionChanged, m_gutter, [this, line = -1]() mutable {
        const int now = textCursor().blockNumber();
        if (now != line)
            m_gutter->update();
        line = now;
    });
    fitGutter();
}

void PreviewEdit::setPlainView(bool plain)
{
    m_plainView = plain;
    m_gutter->setVisible(!plain);
    fitGutter();
    viewport()->update(); // the lines in view lose or gain their colours
}

void PreviewEdit::fitGutter()
{
    setViewportMargins(m_plainView ? 0 : m_gutter->widthFor(blockCount()), 0, 0, 0);
    const QRect contents = contentsRect();
    m_gutter->setGeometry(contents.left(), contents.top(), m_gutter->widthFor(blockCount()),
                          contents.height());
}

void PreviewEdit::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    fitGutter();
}

void PreviewEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        m_colours = PreviewColours::from(palette());
        fitGutter();
        m_gutter->update();
    }
    QPlainTextEdit::changeEvent(event);
}

void PreviewEdit::forEachVisibleLine(
    const std::function<void(const QTextBlock &, const QRectF &)> &visit) const
{
    const qreal bottom = viewport()->height();
    QTextBlock block = firstVisibleBlock();
    QRectF rect = blockBoundingGeometry(block).translated(contentOffset());
    while (block.isValid() && rect.top() <= bottom) {
        rect.setHeight(blockBoundingRect(block).height());
        if (block.isVisible())
            visit(block, rect);
        rect.moveTop(rect.bottom());
        block = block.next();
    }
}

// Colours the lines as they change, within the edit, before Qt lays them
// out, as a highlighter does; a large paste only up to a screenful, and the
// rest of what comes into view just before it is drawn. A large document is
// never coloured as a whole, nor held in layouts line by line.
void PreviewEdit::colourChangedLines(int from, int added)
{
    constexpr int screenful = 100;
    QTextBlock block = document()->findBlock(from);
    for (int n = 0; n < screenful && block.isValid() && block.position() <= from + added; ++n) {
        colourLine(block);
        block = block.next();
    }
}

void PreviewEdit::colourVisibleLines()
{
    forEachVisibleLine([this](const QTextBlock &block, const QRectF &) { colourLine(block); });
}

void PreviewEdit::colourLine(const QTextBlock &block)
{
    const QString text = block.text();
    const QList<QTextLayout::FormatRange> formats
        = m_plainView ? QList<QTextLayout::FormatRange>()
                      : lineFormats(lineParts(text), text.size(), m_colours);
    QTextLayout *layout = block.layout();
    if (layout->formats() == formats)
        return;
    layout->setFormats(formats);
    document()->markContentsDirty(block.position(), block.length());
}

void PreviewEdit::paintEvent(QPaintEvent *event)
{
    colourVisibleLines();
    QPlainTextEdit::paintEvent(event);
}

// Shift+Enter would break the line inside its paragraph, a line the file
// has but the numbering could not see; it starts a new line, as Enter does.
void PreviewEdit::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString PreviewEdit::documentText() const
{
    // toRawText() keeps non-breaking spaces that toPlainText() would turn
    // into blanks.
    return documentFromEditorText(document()->toRawText());
}

QByteArray PreviewEdit::fileBytes() const
{
    // One copy of the raw text (Qt's fastest way out of a text document; a
    // slice or a block at a time is several times slower), then one pass.
    return configFileBytesFromEditorText(document()->toRawText());
}

void PreviewEdit::replaceDocument(const QString &document)
{
    QTextCursor cursor(this->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(editorTextFromDocument(document));
    cursor.endEditBlock();
}

void PreviewEdit::appendToDocument(const QString &piece)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    cursor.insertText(editorTextFromDocument(piece));
    cursor.endEditBlock();
    // Show the lines just added, as a user who pressed Add expects.
    setTextCursor(cursor);
    ensureCursorVisible();
}

void PreviewEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Through a cursor, in one undoable step: the base class would first
    // build a second text document from the text, which for a large paste
    // holds as much memory again as the preview itself. insertText() makes
    // each CR LF, lone CR and lone LF one paragraph break by itself, so a
    // converted copy is needed only for the frame marks it would misread and
    // for line separators, which it would keep inside a paragraph.
    const QString text = source->text();
    QTextCursor cursor = textCursor();
    cursor.insertText(needsEditorConversion(text) ? editorTextFromDocument(text) : text);
    setTextCursor(cursor);
}

} // namespace fennick
