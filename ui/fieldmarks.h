// A field whose text its rule marks shows so before its step's button
// appends it: a warning icon inside the field, the message as its tooltip
// and as its accessible description. Nothing is refused or changed: the
// button appends the text as typed, and the preview marks the line.
#pragma once

#include "document/encodingcheck.h"
#include "wizard/controls.h"

#include <QObject>

class QLineEdit;
class QWidget;

namespace fennick {

class FieldMarks : public QObject {
    Q_OBJECT
public:
    explicit FieldMarks(QObject *parent);

    // Marks the field (a line edit, or an editable combo box) as its text
    // changes, from its present text on.
    void watch(QWidget *widget, Control field);

private:
    EncodingCheck m_encoding;
};

} // namespace fennick
