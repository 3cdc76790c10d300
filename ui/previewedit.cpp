#include "ui/previewedit.h"

#include "document/linebreaks.h"

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

} // namespace fennick
