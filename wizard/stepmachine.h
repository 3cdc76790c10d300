// The fourteen buttons and what each does to the document and to the
// enabled flags. The wizard's state is nothing but those flags: the window
// holds them, and every press sets a fixed list of them to fixed values.
#pragma once

#include "document/pieces.h"

#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <string_view>

namespace fennick {

enum class DocumentEffect { None, Append, Clear, Save };

struct ButtonDefinition {
    std::string_view name;     // objectName, e.g. "Command7"
    std::string_view caption;
    DocumentEffect effect;
    std::optional<Piece> piece; // what Append adds
    bool enabledAtStart;
    // Control lists, applied in this order: enablesFirst, disables, enables.
    // Names are separated by blanks; "Text15-Text35" stands for the range.
    std::string_view enablesFirst;
    std::string_view disables;
    std::string_view enables;
};

namespace detail {
using enum DocumentEffect;
using enum Piece;

inline constexpr std::array<ButtonDefinition, 14> buttonTable{{
    {"Command2", "Continue ->", Append, ServerBlock, true, "",
     "Command2 Text1 Text2 Text3 Combo1", "Combo2 Text4 Text5 Text6 Text7 Command3"},
    {"Command3", "Continue ->", Append, AccessBlock, false, "",
     "Command3 Combo2 Text4 Text5 Text6 Text7", "Combo3 Text8 Text9 Text10 Command4"},
    {"Command4", "Continue ->", Append, ModerationBlock, false, "",
     "Command4 Combo3 Text8 Text9 Text10", "Text11 Text12 Text13 Text14 Command5"},
    {"Command5", "Continue ->", Append, WorldBlock, false, "",
     "Command5 Text11 Text12 Text13 Text14", "Command6 Command13 Text15-Text35"},
    {"Command6", "Add Ammunation", Append, AmmunationRecord, false, "", "", ""},
    {"Command13", "Finish Ammunation", None, {}, false, "",
     "Command6 Command13 Text15-Text35", "Command7 Text36-Text51 Combo4"},
    {"Command7", "Continue ->", Append, GameBlock, false, "",
     "Text36 Text37 Combo4 Text38-Text51 Command7", "Command8 Text52-Text63"},
    {"Command8", "Add Class", Append, ClassRecord, false, "", "", "Command10"},
    // Save becomes usable here, before the Class step closes.
    {"Command10", "Continue ->", None, {}, false, "Command14",
     "Command8 Command10 Text52-Text63", "Command9 Command11 Text64-Text67"},
    {"Command9", "Add Pickup", Append, PickupRecord, false, "", "", ""},
    {"Command11", "Continue ->", Append, PickupStepEnd, false, "",
     "Command9 Command11 Text64-Text67", "Command12 Text68-Text74"},
    {"Command12", "Add Car", Append, VehicleRecord, false, "", "", ""},
    {"Command1", "Clear", Clear, {}, true, "", "", ""},
    {"Command14", "Save", Save, {}, false, "", "", ""},
}};
} // namespace detail

using detail::buttonTable;

[[nodiscard]] constexpr const ButtonDefinition *findButton(std::string_view name)
{
    for (const ButtonDefinition &button : buttonTable)
        if (button.name == name)
            return &button;
    return nullptr;
}

// "Command6 Text15-Text17" -> Command6, Text15, Text16, Text17.
[[nodiscard]] QStringList expandControlList(std::string_view list);

// Every control that has an enabled flag the wizard moves: the 78 fields and
// the 14 buttons.
[[nodiscard]] QStringList steppedControls();

using EnabledFlagSetter = std::function<void(const QString &control, bool enabled)>;

// Applies a button's flag changes, one control at a time in table order.
void applyButtonFlags(const ButtonDefinition &button, const EnabledFlagSetter &setEnabled);

} // namespace fennick
