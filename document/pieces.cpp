#include "document/pieces.h"

namespace fennick {

QString buildPiece(Piece piece, const FieldTextReader &fieldText)
{
    QString result;
    walkTemplate(
        pieceTemplate(piece),
        [&](std::string_view text) {
            result += QLatin1StringView(text.data(), qsizetype(text.size()));
        },
        [&](std::string_view name) { result += fieldText(*controlNamed(name)); });
    return result;
}

} // namespace fennick
