// The text each wizard step appends to the configuration document.
#pragma once

#include <QString>

#include <functional>
#include <string_view>
#include <vector>

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

// A piece is written down as a template: fixed text with "{Text12}" where the
// current text of field Text12 goes. Line breaks in a template are CR LF.
[[nodiscard]] std::string_view pieceTemplate(Piece piece);

// The fields a piece reads, in the order they appear in it (a field may repeat).
[[nodiscard]] std::vector<std::string_view> pieceFields(Piece piece);

using FieldTextReader = std::function<QString(std::string_view fieldName)>;

// The piece with every placeholder replaced by the field's text, exactly as
// typed: nothing is trimmed, quoted or checked.
[[nodiscard]] QString buildPiece(Piece piece, const FieldTextReader &fieldText);

} // namespace fennick
