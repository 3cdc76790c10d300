#include "document/systemencoder.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <algorithm>
#include <climits>
#endif

namespace fennick {

#ifdef Q_OS_WIN

SystemEncoder::SystemEncoder()
    : m_codePage(GetACP())
{
}

qsizetype SystemEncoder::requiredSpace(qsizetype length) const
{
    // UTF-8 (a Windows option) takes up to three bytes a unit, a double-byte
    // code page two.
    return length * (m_codePage == CP_UTF8 ? 3 : 2);
}

char *SystemEncoder::appendToBuffer(char *out, QStringView text)
{
    // UTF-8 refuses the flag; it has every character anyway.
    const DWORD flags = m_codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    // The system takes lengths as int: a huge text goes in slices that never
    // part a surrogate pair.
    constexpr qsizetype sliceLength = INT_MAX / 4;
    while (!text.isEmpty()) {
        qsizetype length = std::min(text.size(), sliceLength);
        if (length < text.size() && text[length - 1].isHighSurrogate())
            --length;
        const int written
            = WideCharToMultiByte(m_codePage, flags, reinterpret_cast<LPCWCH>(text.utf16()),
                                  int(length), out, int(requiredSpace(length)), nullptr, nullptr);
        // Never a shorter file: should the system refuse, the slice is
        // replaced as characters the code page lacks are.
        out = written > 0 ? out + written : std::fill_n(out, length, '?');
        text = text.sliced(length);
    }
    return out;
}

#else

SystemEncoder::SystemEncoder()
    : m_encoder(QStringConverter::System, QStringConverter::Flag::Stateless)
{
}

qsizetype SystemEncoder::requiredSpace(qsizetype length) const
{
    return m_encoder.requiredSpace(length);
}

char *SystemEncoder::appendToBuffer(char *out, QStringView text)
{
    return m_encoder.appendToBuffer(out, text);
}

#endif

QByteArray SystemEncoder::encode(QStringView text)
{
    QByteArray bytes(requiredSpace(text.size()), Qt::Uninitialized);
    bytes.truncate(appendToBuffer(bytes.data(), text) - bytes.constData());
    return bytes;
}

} // namespace fennick
