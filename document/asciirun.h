// Runs of plain ASCII in UTF-16 text: the characters every encoding Save
// writes in (UTF-8, the ANSI code pages) keeps as they are, and that are no
// line break, tab or other control. Most of a configuration is such a run,
// so both the writer and the check of the encoding step over it eight units
// at a time.
#pragma once

#include <QtGlobal>

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace fennick {

#ifdef __SSE2__
// Two bits set for each of the eight units that is plain ASCII.
[[nodiscard]] inline unsigned plainMask(__m128i eight)
{
    // Signed: a unit of 0x8000 or more is below zero, so not above CR.
    const __m128i plain = _mm_and_si128(_mm_cmpgt_epi16(eight, _mm_set1_epi16(0x0d)),
                                        _mm_cmplt_epi16(eight, _mm_set1_epi16(0x80)));
    return unsigned(_mm_movemask_epi8(plain));
}
#endif

[[nodiscard]] inline bool isPlainAscii(char16_t unit) { return unit < 0x80 && unit > u'\r'; }

// The first unit from `from` on, up to `to`, that is not plain ASCII (above
// CR, below 0x80); `to` when there is none.
[[nodiscard]] inline qsizetype plainAsciiEnd(const char16_t *units, qsizetype from, qsizetype to)
{
#ifdef __SSE2__
    while (to - from >= 8) {
        const unsigned mask
            = plainMask(_mm_loadu_si128(reinterpret_cast<const __m128i *>(units + from)));
        if (mask != 0xffff)
            return from + std::countr_zero(~mask) / 2;
        from += 8;
    }
#endif
    while (from < to && isPlainAscii(units[from]))
        ++from;
    return from;
}

// Copies the plain ASCII from `from` on, up to `to`, as bytes to `out`, in
// the same pass that finds where it ends; returns that end, and moves `out`
// past what it wrote. `out` must have room for `to - from` bytes: eight at a
// time are stored before it is known how many of them count.
[[nodiscard]] inline qsizetype copyPlainAscii(const char16_t *units, qsizetype from, qsizetype to,
                                              char *&out)
{
#ifdef __SSE2__
    while (to - from >= 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + from));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(eight, eight));
        const unsigned mask = plainMask(eight);
        if (mask != 0xffff) {
            const int plain = std::countr_zero(~mask) / 2;
            out += plain;
            return from + plain;
        }
        from += 8;
        out += 8;
    }
#endif
    for (; from < to && isPlainAscii(units[from]); ++from)
        *out++ = char(units[from]);
    return from;
}

} // namespace fennick
