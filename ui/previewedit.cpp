#include "ui/previewedit.h"

#include "document/configfile.h"
#include "document/linebreaks.h"
#include "ui/documenttext.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

namespace fennick {
namespace {

// Typed or composed, a line or paragraph separator would end a line inside
// its paragraph: a line of the file that the numbering could not see.
[[nodiscard]] bool holdsSeparator(QStringView text)
{
    return std::ranges::any_of(
        text, [](QChar c) { return c == QChar::LineSeparator || c == QChar::ParagraphSeparator; });
}

} // namespace

PreviewEdit::PreviewEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_gutter(new LineNumberGutter(this))
    , m_colours(PreviewColours::from(palette()))
    , m_checks([this](int line, const std::function<bool(int, QStringView)> &visit) {
        int number = line;
        for (QTextBlock block = document()->findBlockByNumber(line); block.isValid();
             block = block.next(), ++number)
            if (!visit(number, block.text()))
                return;
    })
{
    // The room goes to the text: a scroll bar only where the lines need one,
    // a narrow margin, and a gutter only as wide as the numbers (at the
    // default font the banner then stands on one screen line a line).
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    document()->setDocumentMargin(2);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &PreviewEdit::fitGutter);
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        m_checks.forgetFrom(document()->findBlock(from).blockNumber());
        colourChangedLines(from, added);
    });
    // From anywhere in the window, as a compiler's next error is.
    const auto addMarkShortcut = [this](const QKeySequence &keys, bool forward) {
        auto *shortcut = new QShortcut(keys, this, [this, forward] { goToMark(forward); });
        shortcut->setContext(Qt::WindowShortcut);
    };
    addMarkShortcut(QKeySequence(Qt::Key_F8), true);
    addMarkShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), false);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &PreviewEdit::describeCaret);
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
    fitGutterTo(std::max(blockCount(), m_linesComing));
}

void PreviewEdit::fitGutterTo(int lineCount)
{
    const int width = m_gutter->widthFor(lineCount);
    setViewportMargins(m_plainView ? 0 : width, 0, 0, 0);
    const QRect contents = contentsRect();
    m_gutter->setGeometry(contents.left(), contents.top(), width, contents.height());
}

// Inserts the text, with the gutter widened and the scroll bar shown first
// where the insert will need them: either change of the text's width makes
// Qt lay out every line again and keep a layout for each (60 MB for a 10 MB
// document), so it is made while the document is still small.
void PreviewEdit::insertMakingRoom(QTextCursor &cursor, const QString &text)
{
    int lines = 0;
    forEachLine(text, [&lines](QStringView) { ++lines; });
    const QTextDocument *document = this->document();
    const int replaced = document->findBlock(cursor.selectionEnd()).blockNumber()
                       - document->findBlock(cursor.selectionStart()).blockNumber();
    const int after = blockCount() - replaced + lines - 1;
    // Setting the margin resizes the box, which fits the gutter again: to
    // the lines that are coming, not to those there are now.
    m_linesComing = after;
    if (m_gutter->widthFor(after) > m_gutter->widthFor(blockCount()))
        fitGutterTo(after);
    const bool holdBar = !verticalScrollBar()->isVisible()
                      && after > viewport()->height() / std::max(1, fontMetrics().lineSpacing());
    if (holdBar)
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cursor.insertText(text);
    m_linesComing = 0;
    if (holdBar)
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded); // stays shown: the lines need it
    fitGutter();
}

void PreviewEdit::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    fitGutter();
}

// While the box is being shown, fitting the gutter hides the scroll bar
// that Qt counted at first, and the wider view reaches no resize event: the
// lines would keep the narrower width and wrap early. Once more, at the
// width the view has (the document is small then).
void PreviewEdit::showEvent(QShowEvent *event)
{
    QPlainTextEdit::showEvent(event);
    QResizeEvent resize(viewport()->size(), QSize());
    QCoreApplication::sendEvent(viewport(), &resize);
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
                      : lineFormats(text, lineParts(text), marksOf(block), m_colours);
    QTextLayout *layout = block.layout();
    if (layout->formats() == formats)
        return;
    layout->setFormats(formats);
    document()->markContentsDirty(block.position(), block.length());
}

QList<LineMark> PreviewEdit::marksOf(const QTextBlock &block) const
{
    if (m_plainView)
        return {};
    return m_checks.marks(block.blockNumber(), block.text());
}

// From the top down, each line with what stands above it: the marks of
// the lines out of view are found as those in view are.
void PreviewEdit::goToMark(bool forward)
{
    if (m_plainView)
        return;
    const int caret = textCursor().position();
    TopDownChecks checks(m_checks.encoding());
    int first = -1;
    int last = -1;
    int target = -1;
    for (QTextBlock block = document()->begin(); block.isValid() && !(forward && target >= 0);
         block = block.next()) {
        for (const LineMark &mark : checks.next(block.text())) {
            const int at = block.position() + int(mark.start);
            first = first < 0 ? at : first;
            last = at;
            if (forward && at > caret && target < 0)
                target = at;
            else if (!forward && at < caret)
                target = at;
        }
    }
    if (target < 0)
        target = forward ? first : last;
    if (target < 0)
        return;
    QTextCursor cursor = textCursor();
    cursor.setPosition(target);
    setTextCursor(cursor);
    ensureCursorVisible();
    setFocus(Qt::ShortcutFocusReason);
    const QString message = messagesAtCaret().join(u'\n');
    const QPoint at = viewport()->mapToGlobal(cursorRect().bottomLeft());
    QToolTip::showText(at, message, viewport());
}

QStringList PreviewEdit::messagesAtCaret() const
{
    const QTextCursor cursor = textCursor();
    const qsizetype column = cursor.positionInBlock();
    QStringList messages;
    for (const LineMark &mark : marksOf(cursor.block()))
        if (mark.contains(column))
            messages << mark.message;
    return messages;
}

// A screen reader hears the message while the caret stands in the mark.
void PreviewEdit::describeCaret()
{
    const QString description = messagesAtCaret().join(u'\n');
    if (description != accessibleDescription())
        setAccessibleDescription(description);
}

QString PreviewEdit::toolTipAt(const QPoint &point) const
{
    QStringList tips;
    const qreal reach = QFontMetricsF(font()).horizontalAdvance(u'9') / 2 + 1;
    forEachVisibleLine([&](const QTextBlock &block, const QRectF &rect) {
        if (point.y() < rect.top() || point.y() >= rect.bottom())
            return;
        const QPointF at = point - rect.topLeft();
        const QTextLayout *layout = block.layout();
        const auto onLine = [&](const QTextLine &line) {
            return line.isValid() && at.y() >= line.y() && at.y() < line.y() + line.height();
        };
        QTextLine hovered;
        for (int i = 0; i < layout->lineCount() && !hovered.isValid(); ++i)
            if (onLine(layout->lineAt(i)))
                hovered = layout->lineAt(i);
        if (!hovered.isValid())
            return;
        const int position = hovered.xToCursor(at.x(), QTextLine::CursorOnCharacter);
        const bool pastEnd = at.x() > hovered.cursorToX(hovered.textStart() + hovered.textLength());
        for (const LineMark &mark : marksOf(block)) {
            // A character that takes no room is found by its place, within
            // half a digit; any other mark by the character under the mouse.
            const bool under
                = mark.kind == LineMark::Kind::Invisible
                    ? onLine(layout->lineForTextPosition(int(mark.start)))
                          && std::abs(hovered.cursorToX(int(mark.start)) - at.x()) <= reach
                    : !pastEnd && mark.contains(position);
            if (under)
                tips << mark.message;
        }
    });
    return tips.join(u'\n');
}

bool PreviewEdit::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QPlainTextEdit::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString tip = m_plainView ? QString() : toolTipAt(help->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
}

void PreviewEdit::paintEvent(QPaintEvent *event)
{
    colourVisibleLines();
    QPlainTextEdit::paintEvent(event);
    markInvisibleCharacters();
}

// A character that takes no room, or looks like a blank, gets a mark where
// it stands, half a digit wide, so that a byte-order mark, a direction
// override or a no-break space is seen.
void PreviewEdit::markInvisibleCharacters()
{
    if (m_plainView)
        return;
    QPainter painter(viewport());
    const qreal width = std::max(2.0, QFontMetricsF(font()).horizontalAdvance(u'9') / 2);
    forEachVisibleLine([&](const QTextBlock &block, const QRectF &rect) {
        for (const LineMark &mark : marksOf(block)) {
            if (mark.kind != LineMark::Kind::Invisible)
                continue;
            const QTextLine line = block.layout()->lineForTextPosition(int(mark.start));
            if (!line.isValid())
                continue;
            const qreal x = rect.left() + line.cursorToX(int(mark.start));
            painter.fillRect(QRectF(x - width / 2, rect.top() + line.y(), width, line.height()),
                             m_colours.invisible);
        }
    });
}

// Shift+Enter would break the line inside its paragraph, a line the file
// has but the numbering could not see; it starts a new line, as Enter does.
void PreviewEdit::keyPressEvent(QKeyEvent *event)
{
    if (holdsSeparator(event->text()) && !isReadOnly()) {
        QTextCursor cursor = textCursor();
        cursor.insertText(editorTextFromDocument(event->text()));
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
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

void PreviewEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (!holdsSeparator(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent converted(event->preeditString(), event->attributes());
    converted.setCommitString(editorTextFromDocument(event->commitString()),
                              event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&converted);
    event->setAccepted(converted.isAccepted());
}

QString PreviewEdit::documentText() const
{
    // toRawText() keeps non-breaking spaces that toPlainText() would turn
    // into blanks.
    return documentFromEditorText(document()->toRawText());
}

QByteArray PreviewEdit::fileBytes() const
{
    // What Save writes, chunk by chunk, gathered.
    const DocumentText text(*document());
    ConfigFileWriter writer(text);
    QByteArray bytes;
    (void)writer.writeTo([&bytes](QByteArrayView chunk) {
        bytes.append(chunk);
        return true;
    });
    return bytes;
}

void PreviewEdit::replaceDocument(const QString &document)
{
    QTextCursor cursor(this->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    // As a paste: the insert makes each CR LF a paragraph break itself.
    insertMakingRoom(cursor,
                     needsEditorConversion(document) ? editorTextFromDocument(document) : document);
    cursor.endEditBlock();
}

void PreviewEdit::appendToDocument(const QString &piece)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    insertMakingRoom(cursor, editorTextFromDocument(piece));
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
    insertMakingRoom(cursor, needsEditorConversion(text) ? editorTextFromDocument(text) : text);
    setTextCursor(cursor);
}

} // namespace fennick
