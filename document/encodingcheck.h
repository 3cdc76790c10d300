// Which characters the file's encoding cannot hold, and what Save writes in
// their place: on Windows the system's code page turns a Chinese letter into
// "?" and an emoji into "??", so the file differs from the preview.
#pragma once

#include "document/asciirun.h"
#include "document/linebreaks.h"

#include <QHash>
#include <QString>
#include <QStringConverter>
#include <QStringView>

namespace fennick {

class EncodingCheck {
public:
    // The encoding Save writes in: the system's (on Windows its ANSI code
    // page), converted as Save converts.
    EncodingCheck();
    // Another encoding, under the name the messages give it ("Code page 1252").
    EncodingCheck(QStringConverter::Encoding encoding, const QString &name);

    // "Code page 1252", as the messages name the encoding.
    [[nodiscard]] const QString &name() const { return m_name; }

    // What the file holds in place of the character (one UTF-16 unit, or a
    // surrogate pair); empty when the encoding holds it.
    [[nodiscard]] QString writtenFor(QStringView character) const;

    // Calls onReplaced(position, length, written) for each character of
    // text that the encoding cannot hold.
    template <typename OnReplaced>
    void forEachReplaced(QStringView text, OnReplaced onReplaced) const
    {
        const char16_t *units = text.utf16();
        for (qsizetype i = 0; i < text.size(); ++i) {
            // Every code page Save meets holds ASCII, which is most of a
            // configuration: stepped over a run at a time.
            i = plainAsciiEnd(units, i, text.size());
            if (i == text.size())
                break;
            const char16_t unit = units[i];
            // A line break is CR LF in the file.
            if (unit < 0x80 || isLineBreak(QChar(unit)))
                continue;
            const qsizetype length
                = QChar::isHighSurrogate(unit) && i + 1 < text.size()
                       && QChar::isLowSurrogate(units[i + 1])
                    ? 2
                    : 1;
            // A UTF encoding holds every character but half a surrogate pair,
            // which no file can hold.
            if (!m_holdsEverything || (length == 1 && QChar::isSurrogate(unit))) {
                if (const QString written = writtenFor(text.sliced(i, length)); !written.isEmpty())
                    onReplaced(i, length, written);
            }
            i += length - 1;
        }
    }

    // How a message names the character: itself, or its code where it cannot
    // be shown (half a surrogate pair).
    [[nodiscard]] static QString shown(QStringView character);

private:
    [[nodiscard]] QByteArray encoded(QStringView character) const;

    QStringConverter::Encoding m_encoding = QStringConverter::System;
    bool m_system = true;
    QString m_name;
    bool m_holdsEverything = false;
    // The answers so far, by character: a page of text repeats its letters.
    mutable QHash<QString, QString> m_written;
};

// Characters of a document that Save writes otherwise: how many, the line
// (from 1) of the first and what the file holds in its place.
struct Replacements {
    qsizetype count = 0;
    qsizetype firstLine = 0;
    QString firstWritten;
};

// What the box after a Save adds when characters were replaced; empty when
// none were.
[[nodiscard]] QString replacementsNote(const Replacements &replacements,
                                       const EncodingCheck &check);

} // namespace fennick
