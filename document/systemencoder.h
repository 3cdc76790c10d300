// The system's 8-bit encoding as Save writes it: the ANSI code page on
// Windows, the locale's encoding elsewhere.
#pragma once

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>

namespace fennick {

// A character the encoding lacks becomes the encoding's replacement
// character, never a look-alike: Windows' default conversion would write a
// fullwidth "＝" as "=" or "；" as ";", changing what the server reads, and
// "ł" as "l". Stateless, so a high surrogate at the very end is replaced
// rather than held back for a low one that never comes.
class SystemEncoder {
public:
    SystemEncoder();

    // Bytes that text of this many UTF-16 units may take at the most.
    [[nodiscard]] qsizetype requiredSpace(qsizetype length) const;
    // Writes the text's bytes at out; returns the end of what it wrote.
    char *appendToBuffer(char *out, QStringView text);
    [[nodiscard]] QByteArray encode(QStringView text);

private:
#ifdef Q_OS_WIN
    unsigned m_codePage;
#else
    QStringEncoder m_encoder;
#endif
};

} // namespace fennick
