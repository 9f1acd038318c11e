#include "search/RarestPair.h"

#include "text/UnitPairScan.h"

#include <algorithm>

namespace {

// The samples: this many pieces of this many units, evenly spread; some
// 128 KB of a bank of any size, read in a few microseconds per pair. A text
// no longer than all of them is counted whole.
constexpr qsizetype SampleCount = 32;
constexpr qsizetype SampleUnits = 2048;
// Past this many pairs a long pasted query is not weighed further.
constexpr qsizetype MaxPairsWeighed = 32;

// How often `first` and `second` stand together in `sample`, added to `count`;
// counting stops once `count` passes `enough`.
void countPair(QStringView sample, char16_t first, char16_t second, qsizetype enough, qsizetype &count)
{
    UnitPairScan::scan(sample, 0, first, second, [&](qsizetype position) -> qsizetype {
        return ++count > enough ? -1 : position + 1;
    });
}

qsizetype countInSamples(QStringView text, char16_t first, char16_t second, qsizetype enough)
{
    qsizetype count = 0;
    if (text.size() <= SampleCount * SampleUnits) {
        countPair(text, first, second, enough, count);
        return count;
    }
    const qsizetype step = text.size() / SampleCount;
    for (qsizetype n = 0; n < SampleCount && count <= enough; ++n) {
        // One unit more, so that a pair across the sample's end counts.
        countPair(text.sliced(n * step, SampleUnits + 1), first, second, enough, count);
    }
    return count;
}

bool seenBefore(QStringView needle, qsizetype offset)
{
    const QStringView pair = needle.sliced(offset, 2);
    for (qsizetype earlier = 0; earlier < offset; ++earlier) {
        if (needle.sliced(earlier, 2) == pair)
            return true;
    }
    return false;
}

} // namespace

qsizetype rarestPairOffset(QStringView text, QStringView needle)
{
    const qsizetype lastOffset = std::min(needle.size() - 2, MaxPairsWeighed - 1);
    qsizetype rarest = 0;
    qsizetype rarestCount = countInSamples(text, needle[0].unicode(), needle[1].unicode(), text.size());
    for (qsizetype offset = 1; offset <= lastOffset && rarestCount > 0; ++offset) {
        if (seenBefore(needle, offset))
            continue;
        // Counting this pair past the rarest so far would not change the choice.
        const qsizetype count = countInSamples(text, needle[offset].unicode(), needle[offset + 1].unicode(), rarestCount - 1);
        if (count < rarestCount) {
            rarest = offset;
            rarestCount = count;
        }
    }
    return rarest;
}
