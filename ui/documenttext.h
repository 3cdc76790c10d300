// A text document's raw text as Save reads it.
#pragma once

#include "document/filebytes.h"

class QTextDocument;

namespace fennick {

class DocumentText final : public TextSource {
public:
    explicit DocumentText(const QTextDocument &document)
        : m_document(document)
    {
    }
    bool forEachPiece(const std::function<bool(QStringView)> &visit) const override;

private:
    const QTextDocument &m_document;
};

} // namespace fennick
