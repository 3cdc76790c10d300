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

void FieldMarks::watch(QWidget *widget, Control field)
{
    auto *combo = qobject_cast<QComboBox *>(widget);
    QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(widget);
    if (!edit)
        return;
    // Inside the field, where the layout has room for it: the fixed layout
    // takes nothing beside it.
    auto *mark = new QAction(edit);
    mark->setVisible(false);
    edit->addAction(mark, QLineEdit::TrailingPosition);
    const auto show = [this, widget, edit, mark, field](const QString &text) {
        const std::optional<LineMark> found = checkFieldText(field, text, m_encoding);
        const QString message = found ? found->message : QString();
        if (message == widget->accessibleDescription() && mark->isVisible() == bool(found))
            return;
        if (found)
            mark->setIcon(widget->style()->standardIcon(found->kind == LineMark::Kind::Note
                                                            ? QStyle::SP_MessageBoxInformation
                                                            : QStyle::SP_MessageBoxWarning));
        mark->setToolTip(message);
        mark->setVisible(bool(found));
        widget->setToolTip(message);
        edit->setToolTip(message);
        widget->setAccessibleDescription(message);
    };
    connect(edit, &QLineEdit::textChanged, this, show);
    show(edit->text());
}

} // namespace fennick
