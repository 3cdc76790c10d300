#include "ui/accessiblecontrols.h"

#include "document/strings.h"
#include "ui/layouttables.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLineEdit>

#include <algorithm>

namespace fennick {
namespace {

class ComboBoxAccessible : public QAccessibleWidget {
public:
    explicit ComboBoxAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    [[nodiscard]] QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }

    // The list, then the edit part, as Qt's own.
    [[nodiscard]] int childCount() const override { return combo()->lineEdit() ? 2 : 1; }
    [[nodiscard]] QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->lineEdit())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child->object() == combo()->view())
            return 0;
        if (combo()->lineEdit() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }
    [[nodiscard]] QAccessibleInterface *childAt(int x, int y) const override
    {
        const QLineEdit *edit = combo()->lineEdit();
        return edit && edit->rect().contains(edit->mapFromGlobal(QPoint(x, y))) ? child(1)
                                                                                : nullptr;
    }

    // The name is the accessible name (the label's text) on every
    // platform; the value is the edit part's text.
    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return {showMenuAction(), pressAction()};
    }
    void doAction(const QString &name) override
    {
        if (name != showMenuAction() && name != pressAction())
            return;
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

class SeparatorAccessible : public QAccessibleWidget {
public:
    explicit SeparatorAccessible(QWidget *line)
        : QAccessibleWidget(line, QAccessible::Separator)
    {
    }
    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? QString() : QAccessibleWidget::text(kind);
    }
};

// The pages lie under the strip, which must stay on top for the mouse, and
// Qt lists children from the bottom up; readers read the tabs first.
class TabControlAccessible : public QAccessibleWidget {
public:
    explicit TabControlAccessible(TabControl *control)
        : QAccessibleWidget(control)
    {
    }

    [[nodiscard]] QWidgetList inReadingOrder() const
    {
        auto *control = static_cast<TabControl *>(widget());
        QWidgetList children{control->tabStrip()};
        for (int i = 0; i < control->count(); ++i)
            children.append(control->page(i));
        return children;
    }

    [[nodiscard]] int childCount() const override { return int(inReadingOrder().size()); }
    [[nodiscard]] QAccessibleInterface *child(int index) const override
    {
        const QWidgetList children = inReadingOrder();
        return index >= 0 && index < children.size()
                 ? QAccessible::queryAccessibleInterface(children.at(index))
                 : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(inReadingOrder().indexOf(qobject_cast<QWidget *>(child->object())));
    }
};

QAccessibleInterface *controlFactory(const QString &, QObject *object)
{
    if (auto *combo = qobject_cast<FieldComboBox *>(object))
        return new ComboBoxAccessible(combo);
    if (auto *line = qobject_cast<SeparatorLine *>(object))
        return new SeparatorAccessible(line);
    if (auto *control = qobject_cast<TabControl *>(object))
        return new TabControlAccessible(control);
    return nullptr;
}

// The tab that holds a step: that of the frame its first field stands in.
[[nodiscard]] std::string_view tabOf(Step step)
{
    const auto row = std::ranges::find_if(layout::fieldPlacements, [step](const auto &placement) {
        return field(placement.field).step == step;
    });
    const auto frame = std::ranges::find(layout::frames, row->frame, &layout::FramePlacement::name);
    return layout::pageCaptions.at(std::size_t(frame->page));
}

} // namespace

FieldComboBox::FieldComboBox(QWidget *parent)
    : QComboBox(parent)
{
    installControlAccessibility();
}

SeparatorLine::SeparatorLine(QWidget *parent)
    : QFrame(parent)
{
    installControlAccessibility();
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken); // etched, like the frames' own border
}

void installControlAccessibility()
{
    // Qt keeps the factory for the life of the application; install it once.
    static const bool installed = [] {
        QAccessible::installFactory(controlFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString stepButtonDescription(const ButtonDefinition &button)
{
    if (!button.step)
        return {};
    const int number = int(*button.step) + 1;
    if (button.role == ButtonRole::RepeatsStep)
        return QCoreApplication::translate("fennick::StepButton",
                                           "Adds one more; Step %1 stays open")
            .arg(number);
    const Step next = Step(int(*button.step) + 1);
    const QString comesNext
        = QCoreApplication::translate("fennick::StepButton", "Ends Step %1; Step %2 comes next")
              .arg(number)
              .arg(number + 1);
    if (tabOf(next) == tabOf(*button.step))
        return comesNext;
    return QCoreApplication::translate("fennick::StepButton", "%1, on the tab %2")
        .arg(comesNext, toQString(tabOf(next)));
}

} // namespace fennick
