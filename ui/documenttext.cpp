#include "ui/documenttext.h"

#include <QTextDocument>

namespace fennick {

bool DocumentText::forEachPiece(const std::function<bool(QStringView)> &visit) const
{
    // In one piece: Qt's one walk over its fragments is several times faster
    // than reading a block or a cursor's selection at a time, which looks
    // each one up again. toRawText() keeps the non-breaking spaces that
    // toPlainText() turns into blanks.
    return visit(m_document.toRawText());
}

} // namespace fennick
