// Text boxes and combo box edits hold one line, as each configuration value
// does. Qt's own line edit keeps line breaks that are pasted into it (it
// only shows them as blanks), and they would split the value's line in the
// file; so, as single-line edit controls do, text that comes in with a line
// break keeps what stands before its first line break and drops the rest.
#pragma once

#include <QValidator>

namespace fennick {

// Set on a QLineEdit (or a combo box), it sees every change to the text,
// whether typed, pasted, dropped or set by the program.
class SingleLineValidator final : public QValidator {
    Q_OBJECT
public:
    explicit SingleLineValidator(QObject *parent = nullptr);

    // input is the text after the change and pos the cursor just after the
    // inserted text. Only a change that brings a line break alters input,
    // and then the line edit forgets its undo history.
    State validate(QString &input, int &pos) const override;
};

} // namespace fennick
