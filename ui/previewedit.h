// The preview box: an editable text area that holds the configuration
// document. The widget keeps paragraphs; the document uses CR LF. Each
// paragraph is one line of the file, numbered and coloured as such.
#pragma once

#include "ui/previewlines.h"
#include "ui/settingkeys.h"

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
    // What the server will read otherwise than the line suggests: a key
    // Fennick does not write (a likely typo), or a setting set a second
    // time. Empty for a line that reads as it looks.
    [[nodiscard]] QString keyProblem(const QTextBlock &block) const;

    // The tooltip for a point in the viewport: the problem of the key under
    // it and the name of each invisible character there.
    [[nodiscard]] QString toolTipAt(const QPoint &point) const;

    [[nodiscard]] QTextBlock settingAbove(const QTextBlock &line, const QString &key) const;
    void forgetSettingsAbove(int changedFrom);
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
    SettingKeys m_keys;
    // Problems found in the document's current revision, by line number:
    // checking a repeated key walks the lines above.
    mutable QHash<int, QString> m_problems;
    mutable int m_problemsRevision = -1;
    // For the line that starts at linePosition and sets key, where the
    // nearest line above that sets it starts (-1 for none), while nothing
    // above the line changed.
    struct SettingAbove {
        int linePosition;
        QString key;
        int setAt;
    };
    mutable QList<SettingAbove> m_settingsAbove;
};

} // namespace fennick
