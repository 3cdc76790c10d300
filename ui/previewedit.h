// The preview box: an editable text area that holds the configuration
// document. The widget keeps paragraphs; the document uses CR LF.
#pragma once

#include <QPlainTextEdit>

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

protected:
    // Pasted and dropped text goes in as the document's own text would.
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace fennick
