// The bytes of a Save, made as they are written: a large document goes to
// the disk through a small buffer and is never held a second time.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <functional>

namespace fennick {

// A text widget's raw text (paragraphs ended by U+2029, which is a line
// break to the file as CR and LF are), given out in pieces, in order. A
// piece may end anywhere, even inside a CR LF or a surrogate pair.
class TextSource {
public:
    virtual ~TextSource() = default;
    // Calls visit with each piece until it returns false; returns whether
    // every piece was visited.
    virtual bool forEachPiece(const std::function<bool(QStringView)> &visit) const = 0;
};

// A file's bytes, given out in chunks from the first.
class FileBytes {
public:
    virtual ~FileBytes() = default;
    // Calls write with each chunk until it returns false; returns whether
    // every chunk was written. Each call starts again from the first byte,
    // so that a Save that turns from a copy to the file itself can repeat.
    virtual bool writeTo(const std::function<bool(QByteArrayView)> &write) = 0;
};

// Bytes made beforehand, given out in one chunk.
class ReadyBytes final : public FileBytes {
public:
    explicit ReadyBytes(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }
    bool writeTo(const std::function<bool(QByteArrayView)> &write) override
    {
        return m_bytes.isEmpty() || write(m_bytes);
    }

private:
    const QByteArray &m_bytes;
};

} // namespace fennick
