#include "ui/tabstripaccessible.h"

#include "ui/tabstrip.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <map>

namespace fennick {
namespace {

class PageTabAccessible;

class TabStripAccessible : public QAccessibleWidget {
public:
    explicit TabStripAccessible(TabStrip *strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList)
    {
    }

    ~TabStripAccessible() override;

    [[nodiscard]] TabStrip *strip() const { return static_cast<TabStrip *>(widget()); }

    [[nodiscard]] int childCount() const override { return strip()->count(); }
    [[nodiscard]] QAccessibleInterface *child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override;
    [[nodiscard]] QAccessibleInterface *childAt(int x, int y) const override
    {
        const int index = strip()->tabAt(strip()->mapFromGlobal(QPoint(x, y)));
        return index >= 0 ? child(index) : nullptr;
    }
    [[nodiscard]] QAccessibleInterface *focusChild() const override
    {
        return strip()->hasFocus() ? child(strip()->focusTab()) : nullptr;
    }

private:
    mutable std::map<int, QAccessible::Id> m_children;
};

class PageTabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTabAccessible(TabStrip *strip, int index)
        : m_strip(strip)
        , m_index(index)
    {
    }

    [[nodiscard]] bool isValid() const override { return m_strip && m_index < m_strip->count(); }
    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_strip.data());
    }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] QAccessibleInterface *child(int) const override { return nullptr; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    [[nodiscard]] QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::PageTab; }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        if (kind == QAccessible::Name)
            return m_strip->tabText(m_index);
        if (kind == QAccessible::Description && m_strip->openStepTab() == m_index)
            return TabStrip::openStepDescription();
        return {};
    }
    void setText(QAccessible::Text, const QString &) override { }

    [[nodiscard]] QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = m_strip->tabRect(m_index);
        return {m_strip->mapToGlobal(local.topLeft()), local.size()};
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.selectable = true;
        state.focusable = true;
        state.disabled = !m_strip->isEnabled();
        state.invisible = !m_strip->isVisible();
        state.selected = m_strip->currentIndex() == m_index;
        state.focused = m_strip->focusTab() == m_index && m_strip->hasFocus();
        return state;
    }

    [[nodiscard]] void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                 ? static_cast<QAccessibleActionInterface *>(this)
                 : nullptr;
    }

    [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            m_strip->setCurrentIndex(m_index);
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<TabStrip> m_strip;
    int m_index;
};

TabStripAccessible::~TabStripAccessible()
{
    for (const auto &[index, id] : m_children)
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface *TabStripAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    auto found = m_children.find(index);
    if (found == m_children.end()) {
        auto *tab = new PageTabAccessible(strip(), index);
        found = m_children.emplace(index, QAccessible::registerAccessibleInterface(tab)).first;
    }
    return QAccessible::accessibleInterface(found->second);
}

int TabStripAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (const auto &[index, id] : m_children)
        if (QAccessible::accessibleInterface(id) == child)
            return index;
    return -1;
}

QAccessibleInterface *tabStripFactory(const QString &, QObject *object)
{
    if (auto *strip = qobject_cast<TabStrip *>(object))
        return new TabStripAccessible(strip);
    return nullptr;
}

} // namespace

void installTabStripAccessibility()
{
    // Qt keeps the factory for the life of the application; install it once.
    static const bool installed = [] {
        QAccessible::installFactory(tabStripFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace fennick
