#include "search/RarestPair.h"

#include <algorithm>

namespace {

// The samples: this many pieces of this many units, evenly spread; some
// 64 KB of a bank of any size, read in a few microseconds per pair. A text
// no longer than all of them is counted whole.
constexpr qsizetype SampleCount = 16;
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

// Calls count(sample) for each sample of the text, while it returns true.
template<typename Count>
void forEachSample(QStringView text, Count count)
{
    if (text.size() <= SampleCount * SampleUnits) {
        count(text);
        return;
    }
    const qsizetype step = text.size() / SampleCount;
    // One unit more, so that a pair across a sample's end counts.
    for (qsizetype n = 0; n < SampleCount && count(text.sliced(n * step, SampleUnits + 1)); ++n) {
    }
}

qsizetype countInSamples(QStringView text, char16_t first, char16_t second, qsizetype enough)
{
    qsizetype count = 0;
    forEachSample(text, [&](QStringView sample) {
        countPair(sample, first, second, enough, count);
        return count <= enough;
    });
    return count;
}

qsizetype countInSamples(QStringView text, QChar unit)
{
    qsizetype count = 0;
    forEachSample(text, [&](QStringView sample) {
        count += std::count(sample.begin(), sample.end(), unit);
        return true;
    });
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

RarestPair rarestPair(QStringView text, QStringView needle)
{
    const qsizetype lastOffset = std::min(needle.size() - 2, MaxPairsWeighed - 1);
    RarestPair rarest;
    qsizetype rarestCount = countInSamples(text, needle[0].unicode(), needle[1].unicode(), text.size());
    for (qsizetype offset = 1; offset <= lastOffset && rarestCount > 0; ++offset) {
        if (seenBefore(needle, offset))
            continue;
        // Counting this pair past the rarest so far would not change the choice.
        const qsizetype count = countInSamples(text, needle[offset].unicode(), needle[offset + 1].unicode(), rarestCount - 1);
        if (count < rarestCount) {
            rarest.offset = offset;
            rarestCount = count;
        }
    }
    const bool secondRarer = countInSamples(text, needle[rarest.offset + 1]) < countInSamples(text, needle[rarest.offset]);
    rarest.lead = secondRarer ? UnitPairScan::Lead::Second : UnitPairScan::Lead::First;
    return rarest;
}
