#include "document/pieces.h"

#include <algorithm>
#include <array>
#include <utility>

namespace fennick {
namespace {

using enum Piece;

// Each step's lines, with their exact leading and trailing line breaks. The
// double blanks (in CamLook, WorldBounds and Class) and the blank after the
// tenth Ammunation value are part of the format, not typos.
constexpr std::array<std::pair<Piece, std::string_view>, 10> templates{{
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

// Every "{" opens a placeholder that a "}" closes before the next "{".
constexpr bool placeholdersClosed(std::string_view text)
{
    bool open = false;
    for (char c : text) {
        if (c == '{' && open)
            return false;
        if (c == '{' || c == '}') {
            if (c == '}' && !open)
                return false;
            open = c == '{';
        }
    }
    return !open;
}
static_assert(std::ranges::all_of(templates, [](const auto &entry) { return placeholdersClosed(entry.second); }));

// Calls onText for each run of fixed text and onField for each placeholder.
template <typename OnText, typename OnField>
void walkTemplate(std::string_view text, OnText onText, OnField onField)
{
    while (!text.empty()) {
        const auto open = text.find('{');
        if (open == std::string_view::npos) {
            onText(text);
            return;
        }
        const auto close = text.find('}', open);
        onText(text.substr(0, open));
        onField(text.substr(open + 1, close - open - 1));
        text.remove_prefix(close + 1);
    }
}

} // namespace

std::string_view pieceTemplate(Piece piece)
{
    for (const auto &[id, text] : templates)
        if (id == piece)
            return text;
    return {};
}

std::vector<std::string_view> pieceFields(Piece piece)
{
    std::vector<std::string_view> fields;
    walkTemplate(pieceTemplate(piece), [](std::string_view) {},
                 [&](std::string_view field) { fields.push_back(field); });
    return fields;
}

QString buildPiece(Piece piece, const FieldTextReader &fieldText)
{
    QString result;
    walkTemplate(
        pieceTemplate(piece),
        [&](std::string_view text) { result += QLatin1StringView(text.data(), qsizetype(text.size())); },
        [&](std::string_view field) { result += fieldText(field); });
    return result;
}

} // namespace fennick
