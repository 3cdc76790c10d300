// The wizard's 78 input fields: what each is, which step owns it, the label
// beside it and the text it starts with.
#pragma once

#include "document/maker.h"

#include <array>
#include <string_view>

namespace fennick {

enum class FieldKind { TextBox, ComboBox };

// The nine steps, in the order the user walks them.
enum class Step { Server, Access, Moderation, World, Ammunation, Game, Class, Pickup, Vehicle };

struct FieldDefinition {
    std::string_view name;        // objectName of the field, e.g. "Text12"
    FieldKind kind;
    Step step;
    std::string_view labelName;   // objectName of its label, e.g. "Label15"
    std::string_view caption;     // the label's text
    std::string_view defaultText; // exact, quotes and blanks included
    std::array<std::string_view, 3> items{}; // combo list; unused slots stay empty
};

namespace detail {
// "Ombrix 0.3z server [<address>]" in quotes, joined at compile time so the
// address stays a single constant.
inline constexpr auto serverNameStorage = [] {
    constexpr std::string_view head = "\"Ombrix 0.3z server [";
    constexpr std::string_view tail = "]\"";
    std::array<char, head.size() + makerAddress.size() + tail.size()> out{};
    auto it = out.begin();
    for (std::string_view part : {head, makerAddress, tail})
        for (char c : part)
            *it++ = c;
    return out;
}();
} // namespace detail

inline constexpr std::string_view serverNameDefault{detail::serverNameStorage.data(),
                                                    detail::serverNameStorage.size()};
inline constexpr std::string_view passwordPlaceholder = "\"PutYourOwnWordsIn-Quotes\"";

namespace detail {
using enum FieldKind;
using enum Step;

// Listed step by step in screen order: top to bottom, left before right.
inline constexpr std::array<FieldDefinition, 78> fieldCatalogue{{
    {"Text1", TextBox, Server, "Label1", "Max players:", "50"},
    {"Text2", TextBox, Server, "Label2", "Listen port:", "5555"},
    {"Text3", TextBox, Server, "Label3", "Server Name:", serverNameDefault},
    {"Combo1", ComboBox, Server, "Label4", "Map:", "1", {"1", "2"}},

    {"Combo2", ComboBox, Access, "Label7", "Need Password:", "False", {"False", "True"}},
    {"Text4", TextBox, Access, "Label5", "Password:", passwordPlaceholder},
    {"Text5", TextBox, Access, "Label6", "Admin Password:", passwordPlaceholder},
    {"Text6", TextBox, Access, "Label8", "Rcon Port:", "6666"},
    {"Text7", TextBox, Access, "Label9", "Rcon Max Users:", "5"},

    {"Combo3", ComboBox, Moderation, "Label10", "Log Server:", "True", {"True", "False"}},
    {"Text8", TextBox, Moderation, "Label11", "Kick Message:",
     "\"~t~You Have Been ~b~ Kicked From the Server\""},
    {"Text9", TextBox, Moderation, "Label12", "Ban Message:", "\"~t~You Have Been Banned.\""},
    {"Text10", TextBox, Moderation, "Label13", "Ping:", "1000"},

    {"Text11", TextBox, World, "Label14", "Weather Default:", "4"},
    {"Text12", TextBox, World, "Label15", "Hour Default:", "4"},
    {"Text13", TextBox, World, "Label16", "Minute Default:", "20"},
    {"Text14", TextBox, World, "Label17", "Time Rate:", "4"},

    {"Text15", TextBox, Ammunation, "Label19", "Ammunation ID:", "0"},
    {"Text16", TextBox, Ammunation, "Label20", "Pos. X:", "-66.0178"},
    {"Text17", TextBox, Ammunation, "Label21", "Pos. Y:", "-1481.7504"},
    {"Text18", TextBox, Ammunation, "Label22", "Pos. Z:", "10.4940"},
    {"Text19", TextBox, Ammunation, "Label23", "Camera Angle X:", "-60.593"},
    {"Text20", TextBox, Ammunation, "Label24", "Camera Angle Y:", "-1486.241"},
    {"Text21", TextBox, Ammunation, "Label25", "Camera Angle Z:", "12.433"},
    {"Text22", TextBox, Ammunation, "Label26", "Camera Pos. X:", "-60.508"},
    {"Text23", TextBox, Ammunation, "Label27", "Camera Pos. Y:", "-1484.245"},
    {"Text24", TextBox, Ammunation, "Label28", "Camera Pos. Z:", "12.428 "},
    {"Text25", TextBox, Ammunation, "Label30", "Weapon Pos X:", "-60.793"},
    {"Text26", TextBox, Ammunation, "Label31", "Weapon Pos Y:", "-1488.141"},
    {"Text27", TextBox, Ammunation, "Label32", "Weapon Pos Z:", "12.24274"},
    {"Text28", TextBox, Ammunation, "Label29", "Weapon #1:", "278"},
    {"Text29", TextBox, Ammunation, "Label33", "Weapon #1 cost:", "1500"},
    {"Text30", TextBox, Ammunation, "Label34", "Weapon #2:", "150"},
    {"Text31", TextBox, Ammunation, "Label35", "Weapon #2 cost:", "2000"},
    {"Text32", TextBox, Ammunation, "Label37", "Weapon #3:", "220"},
    {"Text33", TextBox, Ammunation, "Label38", "Weapon #3 cost:", "2000"},
    {"Text34", TextBox, Ammunation, "Label39", "Weapon #4:", "230"},
    {"Text35", TextBox, Ammunation, "Label36", "Weapon #4 cost:", "3000"},

    {"Text36", TextBox, Game, "Label40", "Game Mode:", "\"Deathmatch\""},
    {"Text37", TextBox, Game, "Label41", "Game Mode Version:", "0.1"},
    {"Combo4", ComboBox, Game, "Label42", "Show On Radar:", "0", {"0", "1", "2"}},
    {"Text38", TextBox, Game, "Label44", "Player Pos. X:", "14.117"},
    {"Text39", TextBox, Game, "Label45", "Player Pos. Y:", "1186.535"},
    {"Text40", TextBox, Game, "Label46", "Player Pos. Z:", "19.535"},
    {"Text41", TextBox, Game, "Label47", "Cam. Pos. X:", "9.071"},
    {"Text42", TextBox, Game, "Label48", "Cam. Pos. Y:", "1191.392"},
    {"Text43", TextBox, Game, "Label49", "Cam. Pos. Z:", "19.578"},
    {"Text44", TextBox, Game, "Label50", "Cam. Look X:", "14.117"},
    {"Text45", TextBox, Game, "Label51", "Cam. Look Y:", "1186.535"},
    {"Text46", TextBox, Game, "Label52", "Cam. Look Z:", "19.535"},
    {"Text47", TextBox, Game, "Label53", "World Bounds #1:", "5000.0"},
    {"Text48", TextBox, Game, "Label54", "World Bounds #2:", "-5000.0"},
    {"Text49", TextBox, Game, "Label55", "World Bounds #3:", "5000.0"},
    {"Text50", TextBox, Game, "Label56", "World Bounds #4:", "-5000.0"},
    {"Text51", TextBox, Game, "Label57", "Class Description:", "Class"},

    {"Text52", TextBox, Class, "Label58", "Team:", "-1"},
    {"Text53", TextBox, Class, "Label59", "Model ID:", "001"},
    {"Text54", TextBox, Class, "Label60", "Spawn X:", "41.538"},
    {"Text55", TextBox, Class, "Label61", "Spawn Y:", "1084.514"},
    {"Text56", TextBox, Class, "Label62", "Spawn Z:", "14.234"},
    {"Text57", TextBox, Class, "Label63", "Z Angle:", "180.8481"},
    {"Text58", TextBox, Class, "Label64", "Weapon #1 ID:", "1"},
    {"Text59", TextBox, Class, "Label67", "Weapon #1 Ammo:", "1"},
    {"Text60", TextBox, Class, "Label65", "Weapon #2 ID:", "21"},
    {"Text61", TextBox, Class, "Label68", "Weapon #2 Ammo:", "20"},
    {"Text62", TextBox, Class, "Label66", "Weapon #3 ID:", "1"},
    {"Text63", TextBox, Class, "Label69", "Weapon #3 Ammo:", "1"},

    {"Text64", TextBox, Pickup, "Label70", "Pickup ID:", "368"},
    {"Text65", TextBox, Pickup, "Label71", "Spawn X:", "-855.5118"},
    {"Text66", TextBox, Pickup, "Label72", "Spawn Y:", "-631.2861"},
    {"Text67", TextBox, Pickup, "Label73", "Spawn Z:", "11.3756"},

    {"Text68", TextBox, Vehicle, "Label74", "Model ID:", "191"},
    {"Text69", TextBox, Vehicle, "Label75", "Spawn X:", "338.6310"},
    {"Text70", TextBox, Vehicle, "Label76", "Spawn Y:", "-237.6571"},
    {"Text71", TextBox, Vehicle, "Label77", "Spawn Z:", "29.1708"},
    {"Text72", TextBox, Vehicle, "Label78", "Z Angle:", "98.9897"},
    {"Text73", TextBox, Vehicle, "Label79", "Color 1:", "0"},
    {"Text74", TextBox, Vehicle, "Label80", "Color 2:", "0"},
}};
} // namespace detail

using detail::fieldCatalogue;

// Only the Server step is open when the window is created.
[[nodiscard]] constexpr bool enabledAtStart(const FieldDefinition &field)
{
    return field.step == Step::Server;
}

[[nodiscard]] constexpr const FieldDefinition *findField(std::string_view name)
{
    for (const FieldDefinition &field : fieldCatalogue)
        if (field.name == name)
            return &field;
    return nullptr;
}

} // namespace fennick
