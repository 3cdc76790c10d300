#include "ui/documenttext.h"

#include <QTextDocument>
#include <private/qtextdocument_p.h>

#include <algorithm>
#include <memory>

namespace fennick {

namespace {

// Pieces of this many units: few enough calls, and a buffer that stays in
// the processor's cache.
constexpr qsizetype pieceUnits = 16 * 1024;
// Text that lies in one place at least this long is handed on where it is;
// copying it would cost more than the call.
constexpr qsizetype handOnWhereItLies = 1024;

} // namespace

bool DocumentText::forEachPiece(const std::function<bool(QStringView)> &visit) const
{
    // Read where the document keeps its characters: one buffer, in the order
    // they were typed or pasted, and a list of the stretches of it that make
    // the text, in order. A pasted line and its paragraph separator are two
    // stretches, but lie one after the other in the buffer, as does all of a
    // paste: such neighbours are taken as one, and handed on where they lie
    // when long. Shorter ones (typing here and there) are gathered into a
    // small buffer, used again for each piece. toRawText() would copy the
    // whole text first: at 10 MB, 20 MB of fresh memory, which costs more
    // than writing the file.
    const QTextDocumentPrivate *document = QTextDocumentPrivate::get(&m_document);
    const QString buffer = document->buffer(); // shared, not copied
    // The last paragraph separator is not the text's, as toRawText() has it.
    const qsizetype textLength = m_document.characterCount() - 1;
    const auto piece = std::make_unique_for_overwrite<QChar[]>(pieceUnits);
    qsizetype gathered = 0;
    const auto handOnGathered = [&] {
        const qsizetype units = std::exchange(gathered, 0);
        return units == 0 || visit(QStringView(piece.get(), units));
    };
    const QChar *neighbours = nullptr;
    qsizetype neighboursSize = 0;
    const auto handOnNeighbours = [&] {
        if (neighboursSize >= handOnWhereItLies)
            return handOnGathered() && visit(QStringView(neighbours, neighboursSize));
        if (gathered + neighboursSize > pieceUnits && !handOnGathered())
            return false;
        std::copy_n(neighbours, neighboursSize, piece.get() + gathered);
        gathered += neighboursSize;
        return true;
    };
    qsizetype read = 0;
    for (auto stretch = document->begin(); stretch != document->end() && read < textLength;
         ++stretch) {
        const QChar *units = buffer.constData() + stretch->stringPosition;
        const qsizetype size = std::min<qsizetype>(stretch->size_array[0], textLength - read);
        read += size;
        if (units == neighbours + neighboursSize) {
            neighboursSize += size;
            continue;
        }
        if (neighboursSize > 0 && !handOnNeighbours())
            return false;
        neighbours = units;
        neighboursSize = size;
    }
    return handOnNeighbours() && handOnGathered();
}

} // namespace fennick
