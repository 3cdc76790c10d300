// The preview box: an editable text area that holds the configuration
// document. The widget keeps paragraphs; the document uses CR LF. Each
// paragraph is one line of the file, numbered and coloured as such.
#pragma once

#include "ui/previewlines.h"
#include "wizard/linechecks.h"

#include <QList>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <functional>

namespace fennick {

class PreviewEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PreviewEdit(QWidget *parent = nullptr);

    // The whole text as the document: every line break as CR LF, every other
    // character exactly as typed.
    [[nodiscard]] QString documentText() const;

    // The bytes Save writes: configFileBytes(documentText()), made in one
    // pass over the widget's text.
    [[nodiscard]] QByteArray fileBytes() const;

    // Replaces the whole text in one undoable step.
    void replaceDocument(const QString &document);

    // Adds the piece at the end, touching nothing before it, in one undoable
    // step; the text is the same as reading, concatenating and writing back.
    void appendToDocument(const QString &piece);

    // Without line numbers and colours: the plain text box, for comparison.
    void setPlainView(bool plain);

    [[nodiscard]] const PreviewColours &colours() const { return m_colours; }
    [[nodiscard]] LineNumberGutter *gutter() const { return m_gutter; }

    // The lines in view, top to bottom, each with its rectangle in the
    // viewport (all its screen lines).
    void
    forEachVisibleLine(const std::function<void(const QTextBlock &, const QRectF &)> &visit) const;

    // The marks the rules give the line, none in the plain view.
    [[nodiscard]] QList<LineMark> marksOf(const QTextBlock &block) const;

    // Moves the caret to the next (or the previous) mark of the document,
    // round from the end to the start, and tells its message; with no mark,
    // nothing moves.
    void goToMark(bool forward);

protected:
    // Pasted and dropped text goes in as the document's own text would.
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The tooltip for a point in the viewport: the messages of the marks
    // under it.
    [[nodiscard]] QString toolTipAt(const QPoint &point) const;
    [[nodiscard]] QStringList messagesAtCaret() const;
    void describeCaret();

    void colourChangedLines(int from, int added);
    void colourVisibleLines();
    void colourLine(const QTextBlock &block);
    void fitGutter();
    void insertMakingRoom(QTextCursor &cursor, const QString &text);
    void fitGutterTo(int lineCount);
    void markInvisibleCharacters();

    LineNumberGutter *m_gutter;
    PreviewColours m_colours;
    bool m_plainView = false;
    int m_linesComing = 0; // while an insert is under way
    ViewChecks m_checks;
};

} // namespace fennick
