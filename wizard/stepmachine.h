// The fourteen buttons and what each does to the document and to the
// enabled flags. The wizard's state is nothing but those flags: the window
// holds them, and every press sets a fixed list of them to fixed values.
#pragma once

#include "document/pieces.h"
#include "document/tables.h"
#include "wizard/controls.h"
#include "wizard/fieldcatalogue.h"

#include <array>
#include <functional>
#include <optional>
#include <string_view>

namespace fennick {

enum class ButtonRole { EndsStep, RepeatsStep, ClearsDocument, SavesDocument };

struct ButtonDefinition {
    Control id;
    std::string_view caption;
    ButtonRole role;
    std::optional<Step> step;   // none for Clear and Save
    std::optional<Piece> piece; // what a press appends
    // Applied in this order: enablesFirst, disables, enables.
    ControlList enablesFirst;
    ControlList disables;
    ControlList enables;
};

namespace detail {
using enum Control;
using enum ButtonRole;
using enum Piece;
using enum Step;

// Rows laid out by hand:
// clang-format off
inline constexpr std::array<ButtonDefinition, 14> buttonTable{{
    {Command2, "Continue ->", EndsStep, Server, ServerBlock, {},
     {Command2, Text1, Text2, Text3, Combo1}, {Combo2, Text4, Text5, Text6, Text7, Command3}},
    {Command3, "Continue ->", EndsStep, Access, AccessBlock, {},
     {Command3, Combo2, Text4, Text5, Text6, Text7}, {Combo3, Text8, Text9, Text10, Command4}},
    {Command4, "Continue ->", EndsStep, Moderation, ModerationBlock, {},
     {Command4, Combo3, Text8, Text9, Text10}, {Text11, Text12, Text13, Text14, Command5}},
    {Command5, "Continue ->", EndsStep, World, WorldBlock, {},
     {Command5, Text11, Text12, Text13, Text14}, {Command6, Command13, range(Text15, Text35)}},
    {Command6, "Add Ammunation", RepeatsStep, Ammunation, AmmunationRecord, {}, {}, {}},
    {Command13, "Finish Ammunation", EndsStep, Ammunation, {}, {},
     {Command6, Command13, range(Text15, Text35)}, {Command7, range(Text36, Text51), Combo4}},
    {Command7, "Continue ->", EndsStep, Game, GameBlock, {},
     {Text36, Text37, Combo4, range(Text38, Text51), Command7}, {Command8, range(Text52, Text63)}},
    {Command8, "Add Class", RepeatsStep, Class, ClassRecord, {}, {}, {Command10}},
    // Save becomes usable here, before the Class step closes.
    {Command10, "Continue ->", EndsStep, Class, {}, {Command14},
     {Command8, Command10, range(Text52, Text63)}, {Command9, Command11, range(Text64, Text67)}},
    {Command9, "Add Pickup", RepeatsStep, Pickup, PickupRecord, {}, {}, {}},
    {Command11, "Continue ->", EndsStep, Pickup, PickupStepEnd, {},
     {Command9, Command11, range(Text64, Text67)}, {Command12, range(Text68, Text74)}},
    {Command12, "Add Car", RepeatsStep, Vehicle, VehicleRecord, {}, {}, {}},
    {Command1, "Clear", ClearsDocument, {}, {}, {}, {}, {}},
    {Command14, "Save", SavesDocument, {}, {}, {}, {}, {}},
}};
// clang-format on
} // namespace detail

using detail::buttonTable;

static_assert(oneRowPerControl(buttonTable, &ButtonDefinition::id, isButton),
              "every button has exactly one row");

[[nodiscard]] constexpr const ButtonDefinition &button(Control id)
{
    return rowWith(buttonTable, &ButtonDefinition::id, id);
}

// The step a field or button belongs to; none for Clear and Save.
[[nodiscard]] constexpr std::optional<Step> stepOf(Control control)
{
    return isField(control) ? field(control).step : button(control).step;
}

// The Server step is open when the window is created, and Clear is usable
// throughout; Save waits for the press that enables it.
[[nodiscard]] constexpr bool enabledAtStart(Control control)
{
    return stepOf(control) == Step::Server
        || (isButton(control) && button(control).role == ButtonRole::ClearsDocument);
}

// Opening a saved file gives a whole configuration to write, so Save becomes
// usable, whatever step is open; no other flag changes.
inline constexpr ControlList enabledByOpen{Control::Command14};

// Sets each flag the button's row lists, one control at a time in table order.
template <typename SetEnabled>
void applyButtonFlags(const ButtonDefinition &definition, SetEnabled setEnabled)
{
    definition.enablesFirst.forEach([&](Control control) { setEnabled(control, true); });
    definition.disables.forEach([&](Control control) { setEnabled(control, false); });
    definition.enables.forEach([&](Control control) { setEnabled(control, true); });
}

using FieldTextReader = std::function<QString(Control field)>;

// The piece a press appends, each placeholder filled with the text of the
// field it names.
[[nodiscard]] QString buildPiece(Piece piece, const FieldTextReader &fieldText);

} // namespace fennick
