#include "document/pieces.h"

namespace fennick {

QString fillPiece(Piece piece, const FieldTextByName &fieldText)
{
    QString result;
    walkTemplate(
        pieceTemplate(piece),
        [&](std::string_view text) {
            result += QLatin1StringView(text.data(), qsizetype(text.size()));
        },
        [&](std::string_view name) { result += fieldText(name); });
    return result;
}

} // namespace fennick
