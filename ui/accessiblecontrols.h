// What screen readers are told beyond what Qt tells them: combo boxes named
// by their labels (Qt names them by their value on Linux), lines that are
// unnamed separators (Qt names them after their frame's caption), the tab
// control's tabs read before its pages, and what each step's button does.
#pragma once

#include <QComboBox>
#include <QFrame>

namespace fennick {

struct ButtonDefinition;

// A field's combo box, named by its label's text; its value stays its value.
class FieldComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FieldComboBox(QWidget *parent = nullptr);
};

// A straight line that only divides the rows of a frame.
class SeparatorLine : public QFrame {
    Q_OBJECT
public:
    explicit SeparatorLine(QWidget *parent = nullptr);
};

// Registers the interfaces for the classes above and for the tab control;
// safe to call often.
void installControlAccessibility();

// "Ends Step 1; Step 2 comes next", and the tab it is on where that is
// another: what a step's button closes and opens, for its accessible
// description. Empty for Clear and Save.
[[nodiscard]] QString stepButtonDescription(const ButtonDefinition &button);

} // namespace fennick
