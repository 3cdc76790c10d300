#include "document/configfile.h"

#include "document/asciirun.h"
#include "document/linebreaks.h"

#include <algorithm>

namespace fennick {

namespace {

// Big enough that writes are few, small enough to stay in the processor's
// cache and to cost nothing beside the document.
constexpr qsizetype bufferBytes = 64 * 1024;
// Characters beyond ASCII go to the encoder in stretches of at most this
// many units.
constexpr qsizetype stretchLength = bufferBytes / 8;

// A raw text handed over whole.
class WholeText final : public TextSource {
public:
    explicit WholeText(QStringView text)
        : m_text(text)
    {
    }
    bool forEachPiece(const std::function<bool(QStringView)> &visit) const override
    {
        return visit(m_text);
    }

private:
    QStringView m_text;
};

// One pass of the writer: the buffer, and what a piece leaves to the next.
class Pass {
public:
    Pass(SystemEncoder &encoder, const std::function<bool(QByteArrayView)> &write,
         const EncodingCheck *check, Replacements &replacements)
        : m_encoder(encoder)
        , m_write(write)
        , m_check(check)
        , m_replacements(replacements)
        , m_buffer(std::max(bufferBytes, encoder.requiredSpace(stretchLength + 1) + 2),
                   Qt::Uninitialized)
        , m_out(m_buffer.data())
    {
    }

    bool take(QStringView piece);
    bool finish()
    {
        if (m_heldHigh != 0 && !encode(QStringView(&m_heldHigh, 1)))
            return false;
        return room(2) && lineBreak() && handOn();
    }

private:
    [[nodiscard]] char *end() { return m_buffer.data() + m_buffer.size(); }
    bool handOn()
    {
        const qsizetype used = m_out - m_buffer.constData();
        m_out = m_buffer.data();
        return used == 0 || m_write(QByteArrayView(m_buffer.constData(), used));
    }
    // Room for this many bytes, handing the buffer on if need be.
    bool room(qsizetype bytes) { return end() - m_out >= bytes || handOn(); }
    bool lineBreak()
    {
        *m_out++ = '\r';
        *m_out++ = '\n';
        ++m_line;
        return true;
    }
    // Characters beyond ASCII, with no line break among them.
    bool encode(QStringView text)
    {
        if (m_check)
            m_check->forEachReplaced(text, [this](qsizetype, qsizetype, const QString &written) {
                if (m_replacements.count++ == 0) {
                    m_replacements.firstLine = m_line;
                    m_replacements.firstWritten = written;
                }
            });
        if (!room(m_encoder.requiredSpace(text.size())))
            return false;
        m_out = m_encoder.appendToBuffer(m_out, text);
        return true;
    }

    SystemEncoder &m_encoder;
    const std::function<bool(QByteArrayView)> &m_write;
    const EncodingCheck *m_check;
    Replacements &m_replacements;
    qsizetype m_line = 1; // of the file, as written so far
    QByteArray m_buffer;
    char *m_out;
    bool m_afterCr = false;  // the last piece ended in CR: an LF next is its pair
    char16_t m_heldHigh = 0; // the last piece ended in a high surrogate
};

bool Pass::take(QStringView piece)
{
    if (piece.isEmpty())
        return true;
    const char16_t *chars = piece.utf16();
    const qsizetype size = piece.size();
    qsizetype i = 0;
    if (m_afterCr && chars[0] == u'\n')
        i = 1;
    m_afterCr = false;
    if (m_heldHigh != 0) {
        // Encoded as a pair when its low half begins this piece.
        // Room for eight units, as the scans over runs of ASCII read them.
        const char16_t pair[8] = {m_heldHigh, i < size ? chars[i] : char16_t(0)};
        const bool paired = i < size && QChar::isLowSurrogate(pair[1]);
        m_heldHigh = 0;
        if (!encode(QStringView(pair, paired ? 2 : 1)))
            return false;
        i += paired ? 1 : 0;
    }
    while (i < size) {
        // Room for a line break and one more byte at least.
        if (end() - m_out < 3 && !handOn())
            return false;
        // ASCII other than the line breaks, copied as it is: every encoding
        // Save writes in (UTF-8, the ANSI code pages) keeps it unchanged.
        const qsizetype limit = std::min(size, i + (end() - m_out) - 2);
        i = copyPlainAscii(chars, i, limit, m_out);
        if (i == size)
            break;
        if (i == limit) {
            if (!handOn())
                return false;
            continue;
        }
        const char16_t c = chars[i];
        if (isLineBreak(QChar(c))) {
            (void)lineBreak(); // the room for it was kept above
            ++i;
            if (c == u'\r') {
                if (i < size && chars[i] == u'\n')
                    ++i; // a CR LF pair is one line break
                else if (i == size)
                    m_afterCr = true;
            }
            continue;
        }
        if (c < 0x80) { // a tab or another control character
            *m_out++ = char(c);
            ++i;
            continue;
        }
        qsizetype stretchEnd = i + 1;
        while (stretchEnd < size && stretchEnd - i < stretchLength && chars[stretchEnd] >= 0x80
               && !isLineBreak(QChar(chars[stretchEnd])))
            ++stretchEnd;
        // No stretch parts a surrogate pair, so encoding stretch by stretch,
        // stateless, gives the same bytes as encoding the whole text; a high
        // half at the end of the piece waits for its low half in the next.
        if (stretchEnd == size && QChar::isHighSurrogate(chars[size - 1])) {
            m_heldHigh = chars[--stretchEnd];
        } else if (stretchEnd < size && stretchEnd - 1 > i
                   && QChar::isHighSurrogate(chars[stretchEnd - 1])
                   && QChar::isLowSurrogate(chars[stretchEnd])) {
            --stretchEnd;
        }
        if (stretchEnd > i && !encode(piece.sliced(i, stretchEnd - i)))
            return false;
        i = m_heldHigh != 0 ? size : stretchEnd;
    }
    return true;
}

} // namespace

QByteArray configFileBytes(const QString &document)
{
    QByteArray bytes = SystemEncoder().encode(document);
    bytes.append("\r\n", 2);
    return bytes;
}

QByteArray configFileBytesFromEditorText(QStringView editorText)
{
    const WholeText text(editorText);
    ConfigFileWriter writer(text);
    QByteArray bytes;
    (void)writer.writeTo([&bytes](QByteArrayView chunk) {
        bytes.append(chunk);
        return true;
    });
    return bytes;
}

ConfigFileWriter::ConfigFileWriter(const TextSource &text, const EncodingCheck *check)
    : m_text(text)
    , m_check(check)
{
}

bool ConfigFileWriter::writeTo(const std::function<bool(QByteArrayView)> &write)
{
    m_replacements = {};
    Pass pass(m_encoder, write, m_check, m_replacements);
    return m_text.forEachPiece([&pass](QStringView piece) { return pass.take(piece); })
        && pass.finish();
}

} // namespace fennick
