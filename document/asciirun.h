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

// The first unit from `from` on, up to `to`, that is not plain ASCII (above
// CR, below 0x80); `to` when there is none.
[[nodiscard]] inline qsizetype plainAsciiEnd(const char16_t *units, qsizetype from, qsizetype to)
{
#ifdef __SSE2__
    while (to - from >= 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + from));
        // Signed: a unit of 0x8000 or more is below zero, so not above CR.
        const __m128i plain = _mm_and_si128(_mm_cmpgt_epi16(eight, _mm_set1_epi16(0x0d)),
                                            _mm_cmplt_epi16(eight, _mm_set1_epi16(0x80)));
        const unsigned mask = unsigned(_mm_movemask_epi8(plain));
        if (mask != 0xffff)
            return from + std::countr_zero(~mask) / 2; // two mask bits a unit
        from += 8;
    }
#endif
    while (from < to && units[from] < 0x80 && units[from] > u'\r')
        ++from;
    return from;
}

// Copies `count` units of ASCII as bytes to `out`; returns the end of what
// it wrote.
inline char *copyAscii(const char16_t *units, qsizetype count, char *out)
{
#ifdef __SSE2__
    for (; count >= 8; count -= 8, units += 8, out += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(eight, eight));
    }
#endif
    for (; count > 0; --count)
        *out++ = char(*units++);
    return out;
}

} // namespace fennick
