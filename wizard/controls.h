// The controls whose enabled flags the wizard moves: the 74 text boxes, the
// four combo boxes and the 14 buttons, each with an id of its own. The tables
// name controls by these ids, so a misspelt name does not compile.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace fennick {

// Rows laid out by hand:
// clang-format off
enum class Control : unsigned char {
    Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10,
    Text11, Text12, Text13, Text14, Text15, Text16, Text17, Text18, Text19, Text20,
    Text21, Text22, Text23, Text24, Text25, Text26, Text27, Text28, Text29, Text30,
    Text31, Text32, Text33, Text34, Text35, Text36, Text37, Text38, Text39, Text40,
    Text41, Text42, Text43, Text44, Text45, Text46, Text47, Text48, Text49, Text50,
    Text51, Text52, Text53, Text54, Text55, Text56, Text57, Text58, Text59, Text60,
    Text61, Text62, Text63, Text64, Text65, Text66, Text67, Text68, Text69, Text70,
    Text71, Text72, Text73, Text74,
    Combo1, Combo2, Combo3, Combo4,
    Command1, Command2, Command3, Command4, Command5, Command6, Command7,
    Command8, Command9, Command10, Command11, Command12, Command13, Command14,
};
// clang-format on

inline constexpr int controlCount = int(Control::Command14) + 1;

[[nodiscard]] constexpr int indexOf(Control control)
{
    return int(control);
}

// The three kinds of control, each numbered from 1 in its own name.
struct ControlFamily {
    std::string_view prefix;
    Control first;
    Control last;
};

inline constexpr std::array<ControlFamily, 3> controlFamilies{{
    {"Text", Control::Text1, Control::Text74},
    {"Combo", Control::Combo1, Control::Combo4},
    {"Command", Control::Command1, Control::Command14},
}};

[[nodiscard]] constexpr const ControlFamily &familyOf(Control control)
{
    for (const ControlFamily &family : controlFamilies)
        if (control <= family.last)
            return family;
    return controlFamilies.back();
}

[[nodiscard]] constexpr bool isField(Control control)
{
    return control <= Control::Combo4;
}

[[nodiscard]] constexpr bool isComboBox(Control control)
{
    return control >= Control::Combo1 && control <= Control::Combo4;
}

[[nodiscard]] constexpr bool isButton(Control control)
{
    return control >= Control::Command1;
}

// Whether table holds exactly one row for each control that belongs to it
// and none for any other; key is the member that names the control.
template <typename Table, typename Row = typename Table::value_type, typename Belongs>
[[nodiscard]] constexpr bool oneRowPerControl(const Table &table, Control Row::*key,
                                              Belongs belongs)
{
    std::array<int, controlCount> rows{};
    for (const Row &row : table)
        ++rows[std::size_t(indexOf(row.*key))];
    for (int i = 0; i < controlCount; ++i)
        if (rows[std::size_t(i)] != (belongs(Control(i)) ? 1 : 0))
            return false;
    return true;
}

// "Text12" -> Control::Text12; nothing for a name no control has.
[[nodiscard]] constexpr std::optional<Control> controlNamed(std::string_view name)
{
    for (const ControlFamily &family : controlFamilies) {
        if (!name.starts_with(family.prefix) || name.size() == family.prefix.size())
            continue;
        int number = 0;
        for (char c : name.substr(family.prefix.size())) {
            if (c < '0' || c > '9' || (number == 0 && c == '0'))
                return {};
            number = number * 10 + (c - '0');
        }
        if (number > indexOf(family.last) - indexOf(family.first) + 1)
            return {};
        return Control(indexOf(family.first) + number - 1);
    }
    return {};
}

// The control's objectName: "Text12", "Combo3", "Command7".
[[nodiscard]] inline QString controlName(Control control)
{
    const ControlFamily &family = familyOf(control);
    return QString::fromLatin1(family.prefix.data(), qsizetype(family.prefix.size()))
         + QString::number(indexOf(control) - indexOf(family.first) + 1);
}

// Every control from first to last, in ascending order: Text15 to Text35.
struct ControlRange {
    constexpr ControlRange() = default;
    // Implicit on purpose: a single control stands wherever a range may.
    constexpr ControlRange(Control control)
        : first(control)
        , last(control)
    {
    }
    constexpr ControlRange(Control from, Control to)
        : first(from)
        , last(to)
    {
    }

    Control first = Control::Text1;
    Control last = Control::Text1;
};

[[nodiscard]] constexpr ControlRange range(Control first, Control last)
{
    return {first, last};
}

// A short list of controls and ranges, applied in the order written.
class ControlList {
public:
    constexpr ControlList() = default;
    constexpr ControlList(std::initializer_list<ControlRange> ranges)
    {
        for (const ControlRange &r : ranges)
            m_ranges[m_size++] = r; // more than capacity does not compile
    }

    [[nodiscard]] constexpr const ControlRange *begin() const { return m_ranges.data(); }
    [[nodiscard]] constexpr const ControlRange *end() const { return m_ranges.data() + m_size; }

    // Calls f with each control, ranges expanded.
    template <typename F>
    constexpr void forEach(F f) const
    {
        for (const ControlRange &r : *this)
            for (int i = indexOf(r.first); i <= indexOf(r.last); ++i)
                f(Control(i));
    }

    [[nodiscard]] constexpr bool contains(Control control) const
    {
        for (const ControlRange &r : *this)
            if (control >= r.first && control <= r.last)
                return true;
        return false;
    }

private:
    static constexpr std::size_t capacity = 6;
    std::array<ControlRange, capacity> m_ranges{};
    std::size_t m_size = 0;
};

} // namespace fennick
