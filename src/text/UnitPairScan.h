#pragma once

#include <QStringView>

#include "platform/Sse2.h"

#include <bit>

// Finds every place where two given UTF-16 code units stand side by side, a
// block of thirty-two positions at a time where SSE2 is there. The line split
// looks for CR LF with it, the search for the rarest pair of units of a query.
namespace UnitPairScan {

#if defined(VELLMAR_HAVE_SSE2)
inline __m128i loadUnits(const char16_t *at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
}

// One bit per position p..p+15 whose unit is `first` and whose next unit is
// `second`. Reads units p..p+16.
inline unsigned blockMask(const char16_t *p, __m128i first, __m128i second)
{
    const __m128i low = _mm_and_si128(_mm_cmpeq_epi16(loadUnits(p), first), _mm_cmpeq_epi16(loadUnits(p + 1), second));
    const __m128i high = _mm_and_si128(_mm_cmpeq_epi16(loadUnits(p + 8), first), _mm_cmpeq_epi16(loadUnits(p + 9), second));
    return unsigned(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
}

// Positions are looked at in blocks of this many.
constexpr qsizetype Block = 32;

// Whether any of units p..p+31 is `unit`: four compares and one test.
inline bool blockHolds(const char16_t *p, __m128i unit)
{
    const __m128i low = _mm_or_si128(_mm_cmpeq_epi16(loadUnits(p), unit), _mm_cmpeq_epi16(loadUnits(p + 8), unit));
    const __m128i high = _mm_or_si128(_mm_cmpeq_epi16(loadUnits(p + 16), unit), _mm_cmpeq_epi16(loadUnits(p + 24), unit));
    return _mm_movemask_epi8(_mm_or_si128(low, high)) != 0;
}

// The first block at or after p, below `limit`, with a position to visit;
// one bit per position of it goes to `mask`. Returns `limit` or more when
// there is none. A block is first tested for the pair's unit at `leadOffset`
// (0 or 1) alone, which is cheaper. Reads up to unit p + Block.
inline qsizetype nextBlock(const char16_t *units, qsizetype p, qsizetype limit, char16_t first, char16_t second,
                           qsizetype leadOffset, unsigned &mask)
{
    const __m128i firstUnits = _mm_set1_epi16(short(first));
    const __m128i secondUnits = _mm_set1_epi16(short(second));
    const __m128i leadUnits = leadOffset == 0 ? firstUnits : secondUnits;
    for (; p < limit; p += Block) {
        if (!blockHolds(units + p + leadOffset, leadUnits))
            continue;
        const unsigned low = blockMask(units + p, firstUnits, secondUnits);
        const unsigned high = blockMask(units + p + 16, firstUnits, secondUnits);
        if ((low | high) != 0) {
            mask = low | high << 16;
            return p;
        }
    }
    return p;
}
#endif

// Which unit of the pair a block is first tested for: the rarer one is faster.
enum class Lead { First, Second };

// Calls visit(p) for each position p >= from, in order, where text[p] is
// `first` and text[p + 1] is `second`. visit returns where to go on (more
// than p), or a negative value to stop.
template<typename Visit>
void scan(QStringView text, qsizetype from, char16_t first, char16_t second, Visit visit,
          [[maybe_unused]] Lead lead = Lead::First)
{
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    qsizetype p = from;
#if defined(VELLMAR_HAVE_SSE2)
    // Blocks start below this, so that reading unit p + Block stays inside the text.
    const qsizetype blockLimit = size - Block;
    unsigned mask = 0;
    const qsizetype leadOffset = lead == Lead::First ? 0 : 1;
    while ((p = nextBlock(units, p, blockLimit, first, second, leadOffset, mask)) < blockLimit) {
        qsizetype next = p + Block;
        while (mask != 0) {
            const qsizetype resume = visit(p + std::countr_zero(mask));
            if (resume < 0)
                return;
            if (resume >= p + Block) {
                next = resume;
                break;
            }
            mask &= ~0u << (resume - p);
        }
        p = next;
    }
#endif
    while (p + 1 < size) {
        if (units[p] != first || units[p + 1] != second) {
            ++p;
            continue;
        }
        p = visit(p);
        if (p < 0)
            return;
    }
}

} // namespace UnitPairScan
