// Everything a user can see change in the window, for checking that an
// action left it alone: the preview document, each field's text and each
// named control's enabled flag.
#pragma once

#include "ui/mainwindow.h"
#include "ui/previewedit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

struct WindowState {
    QString document;
    QStringList fieldTexts;   // "Text12 = value", sorted by name
    QStringList enabledFlags; // "Command14 on", sorted by name

    [[nodiscard]] static WindowState of(const fennick::MainWindow &window)
    {
        WindowState state;
        state.document = window.preview()->documentText();
        for (const QLineEdit *edit : window.findChildren<QLineEdit *>())
            if (!edit->objectName().isEmpty())
                state.fieldTexts << edit->objectName() + " = " + edit->text();
        for (const QComboBox *combo : window.findChildren<QComboBox *>())
            state.fieldTexts << combo->objectName() + " = " + combo->currentText();
        for (const QWidget *widget : window.findChildren<QWidget *>())
            if (!widget->objectName().isEmpty())
                state.enabledFlags << widget->objectName() + (widget->isEnabled() ? " on" : " off");
        state.fieldTexts.sort();
        state.enabledFlags.sort();
        return state;
    }
};

// Every field's text and every enabled flag as they were (the document is
// compared apart, where it must be unchanged too).
#define COMPARE_CONTROLS(actual, expected)                                                         \
    do {                                                                                           \
        const WindowState actualState = (actual);                                                  \
        QCOMPARE(actualState.fieldTexts, (expected).fieldTexts);                                   \
        QCOMPARE(actualState.enabledFlags, (expected).enabledFlags);                               \
    } while (false)
