#include "wizard/stepmachine.h"

#include "document/strings.h"
#include "wizard/fieldcatalogue.h"

#include <algorithm>
#include <charconv>

namespace fennick {
namespace {

// Splits "Text15" into its prefix and number.
std::pair<std::string_view, int> splitName(std::string_view name)
{
    const auto digits = std::min(name.find_first_of("0123456789"), name.size());
    int number = 0;
    std::from_chars(name.data() + digits, name.data() + name.size(), number);
    return {name.substr(0, digits), number};
}

} // namespace

QStringList expandControlList(std::string_view list)
{
    QStringList controls;
    while (!list.empty()) {
        const auto end = std::min(list.find(' '), list.size());
        const std::string_view item = list.substr(0, end);
        list.remove_prefix(std::min(end + 1, list.size()));
        if (item.empty())
            continue;
        const auto dash = item.find('-');
        if (dash == std::string_view::npos) {
            controls.append(toQString(item));
            continue;
        }
        const auto [prefix, first] = splitName(item.substr(0, dash));
        const int last = splitName(item.substr(dash + 1)).second;
        const QString base = toQString(prefix);
        for (int number = first; number <= last; ++number)
            controls.append(base + QString::number(number));
    }
    return controls;
}

QStringList steppedControls()
{
    QStringList controls;
    for (const FieldDefinition &field : fieldCatalogue)
        controls.append(toQString(field.name));
    for (const ButtonDefinition &button : buttonTable)
        controls.append(toQString(button.name));
    return controls;
}

void applyButtonFlags(const ButtonDefinition &button, const EnabledFlagSetter &setEnabled)
{
    for (const QString &control : expandControlList(button.enablesFirst))
        setEnabled(control, true);
    for (const QString &control : expandControlList(button.disables))
        setEnabled(control, false);
    for (const QString &control : expandControlList(button.enables))
        setEnabled(control, true);
}

} // namespace fennick
