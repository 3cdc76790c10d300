#include "ui/fieldmarks.h"

#include "wizard/linechecks.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>

namespace fennick {

FieldMarks::FieldMarks(QObject *parent)
    : QObject(parent)
{
}

namespace {

const QString markName = QStringLiteral("fieldMark");

} // namespace

void FieldMarks::watch(QWidget *widget, Control field)
{
    auto *combo = qobject_cast<QComboBox *>(widget);
    QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(widget);
    if (!edit)
        return;
    // Inside the field, where the layout has room for it: the fixed layout
    // takes nothing beside it. Made when a field first needs it: a mark is a
    // button of its own, and 74 of them at start would delay the window.
    const auto show = [this, widget, edit, field](const QString &text) {
        const std::optional<LineMark> found = checkFieldText(field, text, m_encoding);
        const QString message = found ? found->message : QString();
        QAction *mark = edit->findChild<QAction *>(markName, Qt::FindDirectChildrenOnly);
        const bool shown = mark && mark->isVisible();
        if (message == widget->accessibleDescription() && shown == bool(found))
            return;
        if (found && !mark) {
            mark = new QAction(edit);
            mark->setObjectName(markName);
            edit->addAction(mark, QLineEdit::TrailingPosition);
        }
        if (found)
            mark->setIcon(widget->style()->standardIcon(found->kind == LineMark::Kind::Note
                                                            ? QStyle::SP_MessageBoxInformation
                                                            : QStyle::SP_MessageBoxWarning));
        if (mark) {
            mark->setToolTip(message);
            mark->setVisible(bool(found));
        }
        widget->setToolTip(message);
        edit->setToolTip(message);
        widget->setAccessibleDescription(message);
    };
    connect(edit, &QLineEdit::textChanged, this, show);
    show(edit->text());
}

} // namespace fennick
