// The text each wizard step appends to the configuration document. The
// pieces name the fields they read by objectName ("{Text12}"); which control
// that is stays the wizard's business (wizard/stepmachine.cpp checks every
// name against its controls).
#pragma once

#include "document/tables.h"

#include <QString>

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <utility>

namespace fennick {

enum class Piece {
    ServerBlock,
    AccessBlock,
    ModerationBlock,
    WorldBlock,
    AmmunationRecord,
    GameBlock,
    ClassRecord,
    PickupRecord,
    PickupStepEnd,
    VehicleRecord,
};

namespace detail {
using enum Piece;

// Each piece is written down as a template: fixed text with "{Text12}" where
// the current text of field Text12 goes, line breaks as CR LF, leading and
// trailing ones exact. The double blanks (in CamLook, WorldBounds and Class) and the blank after the
// tenth Ammunation value are part of the format, not typos.
// Rows laid out by hand:
// clang-format off
inline constexpr std::array<std::pair<Piece, std::string_view>, 10> pieceTemplates{{
    {ServerBlock,
     "\r\n\r\nMaxPlayers = {Text1}"
     "\r\nListenPort = {Text2}"
     "\r\nServerName = {Text3}"
     "\r\nMap = {Combo1}"},
    {AccessBlock,
     "\r\n\r\nNeedPassword = {Combo2}"
     "\r\nPassword = {Text4}"
     "\r\nAdminPassword = {Text5}"
     "\r\nRconPort = {Text6}"
     "\r\nRconMaxUsers = {Text7}"},
    {ModerationBlock,
     "\r\n\r\nLogServer = {Combo3}"
     "\r\nKickMessage = {Text8}"
     "\r\nBanMessage = {Text9}"
     "\r\nPing = {Text10}"},
    {WorldBlock,
     "\r\n\r\nWeatherDefault = {Text11}"
     "\r\nHourDefault = {Text12}"
     "\r\nMinuteDefault = {Text13}"
     "\r\nTimeRate = {Text14}\r\n"},
    {AmmunationRecord,
     "\r\nAmmunation = {Text15} {Text16} {Text17} {Text18} {Text19} {Text20} {Text21} {Text22} "
     "{Text23} {Text24} "
     "\r\nA_Weapon = {Text15} {Text25} {Text26} {Text27} {Text28} {Text29} {Text30} {Text31} "
     "{Text32} {Text33} {Text34} {Text35}"},
    {GameBlock,
     "\r\n\r\n[GAME]\r\n"
     "\r\nGameMode = {Text36}"
     "\r\nGameModeVersion = {Text37}"
     "\r\nShowOnRadar = {Combo4}\r\n"
     "\r\nPlayerPos = {Text38} {Text39} {Text40}"
     "\r\nCamPos = {Text41} {Text42} {Text43}"
     "\r\nCamLook = {Text44}  {Text45} {Text46}\r\n"
     "\r\nWorldBounds = {Text47}  {Text48} {Text49} {Text50}"
     "\r\nClassDescription = {Text51}\r\n\r\n"},
    {ClassRecord,
     "Class = {Text52} {Text53} {Text54} {Text55} {Text56} {Text57} {Text58}  {Text59} {Text60} "
     "{Text61} {Text62} {Text63}\r\n"},
    {PickupRecord, "\r\nPickup = {Text64} {Text65} {Text66} {Text67}"},
    {PickupStepEnd, "\r\n"},
    {VehicleRecord, "\r\nVehicle = {Text68} {Text69} {Text70} {Text71} {Text72} {Text73} {Text74}"},
}};
// clang-format on

} // namespace detail

using detail::pieceTemplates;

// Every piece has its template, one row each, in the order of Piece.
static_assert([] {
    for (std::size_t i = 0; i < pieceTemplates.size(); ++i)
        if (pieceTemplates[i].first != Piece(i))
            return false;
    return pieceTemplates.size() == std::size_t(Piece::VehicleRecord) + 1;
}());

[[nodiscard]] constexpr std::string_view pieceTemplate(Piece piece)
{
    return rowWith(pieceTemplates, &decltype(pieceTemplates)::value_type::first, piece).second;
}

// Calls onText with each run of fixed text and onPlaceholder with the name
// inside each "{...}".
template <typename OnText, typename OnPlaceholder>
constexpr void walkTemplate(std::string_view text, OnText onText, OnPlaceholder onPlaceholder)
{
    while (!text.empty()) {
        const auto open = text.find('{');
        if (open == std::string_view::npos) {
            onText(text);
            return;
        }
        const auto close = std::min(text.find('}', open), text.size() - 1); // unclosed: to the end
        onText(text.substr(0, open));
        onPlaceholder(text.substr(open + 1, close - open - 1));
        text.remove_prefix(close + 1);
    }
}

// Every placeholder is closed and names something; fixed text holds no brace.
static_assert(std::ranges::all_of(pieceTemplates, [](const auto &entry) {
    bool sound = true;
    walkTemplate(
        entry.second,
        [&](std::string_view text) { sound = sound && text.find_first_of("{}") == text.npos; },
        [&](std::string_view name) {
            sound = sound && !name.empty() && name.find('{') == name.npos;
        });
    return sound;
}));

// Calls onKey with the key of each setting the template writes ("MaxPlayers"
// in "\r\nMaxPlayers = {Text1}"), in the template's order.
template <typename OnKey>
constexpr void forEachTemplateKey(std::string_view text, OnKey onKey)
{
    bool atTemplateStart = true;
    walkTemplate(
        text,
        [&](std::string_view fixed) {
            for (auto equals = fixed.find(" = "); equals != fixed.npos;
                 equals = fixed.find(" = ", equals + 1)) {
                const auto lineBreak = fixed.rfind('\n', equals);
                if (lineBreak != fixed.npos)
                    onKey(fixed.substr(lineBreak + 1, equals - lineBreak - 1));
                else if (atTemplateStart)
                    onKey(fixed.substr(0, equals));
            }
            atTemplateStart = false;
        },
        [&](std::string_view) { atTemplateStart = false; });
}

// The current text of the field a placeholder names: "Text12" -> what Text12 holds.
using FieldTextByName = std::function<QString(std::string_view fieldName)>;

// The piece with every placeholder replaced by the field's text, exactly as
// typed: nothing is trimmed, quoted or checked.
[[nodiscard]] QString fillPiece(Piece piece, const FieldTextByName &fieldText);

} // namespace fennick
