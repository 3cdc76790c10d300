// The wizard's 78 input fields: what each is, which step owns it, the label
// beside it and the text it starts with.
#pragma once

#include "document/maker.h"
#include "document/tables.h"
#include "wizard/controls.h"

#include <array>
#include <string_view>

namespace fennick {

// The nine steps, in the order the user walks them.
enum class Step { Server, Access, Moderation, World, Ammunation, Game, Class, Pickup, Vehicle };

// The values the server takes where the default alone does not tell them:
// a port is a whole number, but not every whole number is a port.
struct ValueRange {
    std::string_view noun; // "port": "ListenPort takes a port from 1 to 65535"
    int lowest = 0;
    int highest = 0;
};

// A field's kind follows from its id: Combo1 to Combo4 are combo boxes.
struct FieldDefinition {
    Control id;
    Step step;
    std::string_view labelName;              // objectName of its label, e.g. "Label15"
    std::string_view caption;                // the label's text
    std::string_view defaultText;            // exact, quotes and blanks included
    std::array<std::string_view, 3> items{}; // combo list; unused slots stay empty
    ValueRange range{};                      // none where noun is empty
};

inline constexpr ValueRange portRange{"port", 1, 65535};

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
using enum Control;
using enum Step;

// Listed step by step in screen order: top to bottom, left before right.
inline constexpr std::array<FieldDefinition, 78> fieldCatalogue{{
    {Text1, Server, "Label1", "Max players:", "50"},
    {Text2, Server, "Label2", "Listen port:", "5555", {}, portRange},
    {Text3, Server, "Label3", "Server Name:", serverNameDefault},
    {Combo1, Server, "Label4", "Map:", "1", {"1", "2"}},

    {Combo2, Access, "Label7", "Need Password:", "False", {"False", "True"}},
    {Text4, Access, "Label5", "Password:", passwordPlaceholder},
    {Text5, Access, "Label6", "Admin Password:", passwordPlaceholder},
    {Text6, Access, "Label8", "Rcon Port:", "6666", {}, portRange},
    {Text7, Access, "Label9", "Rcon Max Users:", "5"},

    {Combo3, Moderation, "Label10", "Log Server:", "True", {"True", "False"}},
    {Text8, Moderation, "Label11",
     "Kick Message:", "\"~t~You Have Been ~b~ Kicked From the Server\""},
    {Text9, Moderation, "Label12", "Ban Message:", "\"~t~You Have Been Banned.\""},
    {Text10, Moderation, "Label13", "Ping:", "1000"},

    {Text11, World, "Label14", "Weather Default:", "4"},
    {Text12, World, "Label15", "Hour Default:", "4"},
    {Text13, World, "Label16", "Minute Default:", "20"},
    {Text14, World, "Label17", "Time Rate:", "4"},

    {Text15, Ammunation, "Label19", "Ammunation ID:", "0"},
    {Text16, Ammunation, "Label20", "Pos. X:", "-66.0178"},
    {Text17, Ammunation, "Label21", "Pos. Y:", "-1481.7504"},
    {Text18, Ammunation, "Label22", "Pos. Z:", "10.4940"},
    {Text19, Ammunation, "Label23", "Camera Angle X:", "-60.593"},
    {Text20, Ammunation, "Label24", "Camera Angle Y:", "-1486.241"},
    {Text21, Ammunation, "Label25", "Camera Angle Z:", "12.433"},
    {Text22, Ammunation, "Label26", "Camera Pos. X:", "-60.508"},
    {Text23, Ammunation, "Label27", "Camera Pos. Y:", "-1484.245"},
    {Text24, Ammunation, "Label28", "Camera Pos. Z:", "12.428 "},
    {Text25, Ammunation, "Label30", "Weapon Pos X:", "-60.793"},
    {Text26, Ammunation, "Label31", "Weapon Pos Y:", "-1488.141"},
    {Text27, Ammunation, "Label32", "Weapon Pos Z:", "12.24274"},
    {Text28, Ammunation, "Label29", "Weapon #1:", "278"},
    {Text29, Ammunation, "Label33", "Weapon #1 cost:", "1500"},
    {Text30, Ammunation, "Label34", "Weapon #2:", "150"},
    {Text31, Ammunation, "Label35", "Weapon #2 cost:", "2000"},
    {Text32, Ammunation, "Label37", "Weapon #3:", "220"},
    {Text33, Ammunation, "Label38", "Weapon #3 cost:", "2000"},
    {Text34, Ammunation, "Label39", "Weapon #4:", "230"},
    {Text35, Ammunation, "Label36", "Weapon #4 cost:", "3000"},

    {Text36, Game, "Label40", "Game Mode:", "\"Deathmatch\""},
    {Text37, Game, "Label41", "Game Mode Version:", "0.1"},
    {Combo4, Game, "Label42", "Show On Radar:", "0", {"0", "1", "2"}},
    {Text38, Game, "Label44", "Player Pos. X:", "14.117"},
    {Text39, Game, "Label45", "Player Pos. Y:", "1186.535"},
    {Text40, Game, "Label46", "Player Pos. Z:", "19.535"},
    {Text41, Game, "Label47", "Cam. Pos. X:", "9.071"},
    {Text42, Game, "Label48", "Cam. Pos. Y:", "1191.392"},
    {Text43, Game, "Label49", "Cam. Pos. Z:", "19.578"},
    {Text44, Game, "Label50", "Cam. Look X:", "14.117"},
    {Text45, Game, "Label51", "Cam. Look Y:", "1186.535"},
    {Text46, Game, "Label52", "Cam. Look Z:", "19.535"},
    {Text47, Game, "Label53", "World Bounds #1:", "5000.0"},
    {Text48, Game, "Label54", "World Bounds #2:", "-5000.0"},
    {Text49, Game, "Label55", "World Bounds #3:", "5000.0"},
    {Text50, Game, "Label56", "World Bounds #4:", "-5000.0"},
    {Text51, Game, "Label57", "Class Description:", "Class"},

    {Text52, Class, "Label58", "Team:", "-1"},
    {Text53, Class, "Label59", "Model ID:", "001"},
    {Text54, Class, "Label60", "Spawn X:", "41.538"},
    {Text55, Class, "Label61", "Spawn Y:", "1084.514"},
    {Text56, Class, "Label62", "Spawn Z:", "14.234"},
    {Text57, Class, "Label63", "Z Angle:", "180.8481"},
    {Text58, Class, "Label64", "Weapon #1 ID:", "1"},
    {Text59, Class, "Label67", "Weapon #1 Ammo:", "1"},
    {Text60, Class, "Label65", "Weapon #2 ID:", "21"},
    {Text61, Class, "Label68", "Weapon #2 Ammo:", "20"},
    {Text62, Class, "Label66", "Weapon #3 ID:", "1"},
    {Text63, Class, "Label69", "Weapon #3 Ammo:", "1"},

    {Text64, Pickup, "Label70", "Pickup ID:", "368"},
    {Text65, Pickup, "Label71", "Spawn X:", "-855.5118"},
    {Text66, Pickup, "Label72", "Spawn Y:", "-631.2861"},
    {Text67, Pickup, "Label73", "Spawn Z:", "11.3756"},

    {Text68, Vehicle, "Label74", "Model ID:", "191"},
    {Text69, Vehicle, "Label75", "Spawn X:", "338.6310"},
    {Text70, Vehicle, "Label76", "Spawn Y:", "-237.6571"},
    {Text71, Vehicle, "Label77", "Spawn Z:", "29.1708"},
    {Text72, Vehicle, "Label78", "Z Angle:", "98.9897"},
    {Text73, Vehicle, "Label79", "Color 1:", "0"},
    {Text74, Vehicle, "Label80", "Color 2:", "0"},
}};
} // namespace detail

using detail::fieldCatalogue;

// Each field once: the window creates each from its row.
static_assert(oneRowPerControl(fieldCatalogue, &FieldDefinition::id, isField));

[[nodiscard]] constexpr const FieldDefinition &field(Control id)
{
    return rowWith(fieldCatalogue, &FieldDefinition::id, id);
}

} // namespace fennick
