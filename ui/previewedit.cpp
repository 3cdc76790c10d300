#include "ui/previewedit.h"

#include "document/configfile.h"
#include "document/linebreaks.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace fennick {

PreviewEdit::PreviewEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
    // converted copy is needed only for the frame marks it would misread.
    const QString text = source->text();
    const bool hasFrameMarks = text.contains(QChar(0xfdd0)) || text.contains(QChar(0xfdd1));
    QTextCursor cursor = textCursor();
    cursor.insertText(hasFrameMarks ? editorTextFromDocument(text) : text);
    setTextCursor(cursor);
}

} // namespace fennick
