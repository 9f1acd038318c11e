#include "search/BigramIndex.h"

#include "search/SearchResult.h"
#include "search/TolerantText.h"

#include <QString>

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

constexpr std::uint32_t NoPair = std::numeric_limits<std::uint32_t>::max();

// Each list is Rice-coded: a pair is told by how far it stands past the one
// before (the first by its number), in `k` low bits and, before them, the
// rest in unary (that many 0 bits, then a 1). `k` comes from how dense the
// list is, so a list costs some 2 + log2(mean gap) bits a pair. A gap
// whose unary part would reach EscapeZeros bits is written as EscapeZeros
// 0 bits and the value in 32 bits instead. Bits run from the lowest of each
// byte up; every list starts on a byte, and the lists are followed by
// ReadAhead bytes so that a 64-bit word can be read wherever a code starts.
static_assert(std::endian::native == std::endian::little, "the postings are read as little-endian words");
constexpr int EscapeZeros = 24;
constexpr int EscapeBits = EscapeZeros + 32;
constexpr std::size_t ReadAhead = 8;
// A code is read from one 64-bit word shifted by up to 7 bits: the unary part,
// its closing 1 and k bits must fit the 57 bits left, as must an escape.
constexpr int MaxRiceBits = 57 - EscapeZeros;
static_assert(EscapeBits <= 57);

int riceParameter(std::size_t pairsInBank, std::uint32_t pairsInList)
{
    // The best k for geometric gaps of mean m is about log2(m × ln 2).
    const std::uint64_t scaledMean = std::uint64_t(pairsInBank) * 69 / (100 * std::uint64_t(std::max(pairsInList, 1u)));
    return std::min(int(std::bit_width(std::max<std::uint64_t>(scaledMean, 1))) - 1, MaxRiceBits);
}

int codeBits(std::uint32_t value, int k)
{
    const std::uint32_t unary = value >> k;
    return unary < EscapeZeros ? int(unary) + 1 + k : EscapeBits;
}

std::uint64_t wordAt(const std::uint8_t *postings, std::uint64_t bit)
{
    std::uint64_t word = 0;
    std::memcpy(&word, postings + (bit >> 3), sizeof word);
    return word >> (bit & 7);
}

// Sets the bits of `value` (at most 57 wide) from `bit` on; they are 0 before.
void orBits(std::uint8_t *postings, std::uint64_t bit, std::uint64_t value)
{
    std::uint64_t word = 0;
    std::memcpy(&word, postings + (bit >> 3), sizeof word);
    word |= value << (bit & 7);
    std::memcpy(postings + (bit >> 3), &word, sizeof word);
}

// Writes the code of `value` at `bit`; returns the bit after it.
std::uint64_t writeCode(std::uint8_t *postings, std::uint64_t bit, std::uint32_t value, int k)
{
    const std::uint32_t unary = value >> k;
    if (unary >= EscapeZeros) {
        orBits(postings, bit + EscapeZeros, value);
        return bit + EscapeBits;
    }
    const std::uint64_t low = value & ((std::uint64_t(1) << k) - 1);
    orBits(postings, bit + unary, 1 | low << 1);
    return bit + unary + 1 + std::uint64_t(k);
}

// Reads the code at `bit` into `value`; returns the bit after it.
std::uint64_t readCode(const std::uint8_t *postings, std::uint64_t bit, std::uint32_t &value, int k)
{
    const std::uint64_t word = wordAt(postings, bit);
    const int zeros = std::countr_zero(word);
    if (zeros >= EscapeZeros) {
        value = std::uint32_t(word >> EscapeZeros);
        return bit + EscapeBits;
    }
    const std::uint64_t low = (word >> (zeros + 1)) & ((std::uint64_t(1) << k) - 1);
    value = std::uint32_t(std::uint64_t(zeros) << k | low);
    return bit + std::uint64_t(zeros) + 1 + std::uint64_t(k);
}

// Bigram keys to dense slot numbers while the index is built: open addressing
// on a table that doubles at half load. Key 0 never occurs (a key's first unit
// is a letter or digit) and marks a free place.
class SlotTable
{
public:
    SlotTable() : m_places(std::size_t(1) << InitialBits) {}

    std::size_t size() const { return m_size; }

    // The slot of `key`, made when it is new.
    std::uint32_t slotOf(std::uint32_t key)
    {
        Place &place = find(key);
        if (place.key == 0) {
            place = {key, std::uint32_t(m_size++)};
            if (m_size * 2 > m_places.size()) {
                grow();
                return std::uint32_t(m_size - 1);
            }
        }
        return place.slot;
    }

    // The keys, by slot.
    std::vector<std::uint32_t> keysBySlot() const
    {
        std::vector<std::uint32_t> keys(m_size);
        for (const Place &place : m_places)
            if (place.key != 0)
                keys[place.slot] = place.key;
        return keys;
    }

private:
    struct Place
    {
        std::uint32_t key = 0;
        std::uint32_t slot = 0;
    };

    Place &find(std::uint32_t key)
    {
        // The high bits of the product: its low bits would be those of the second unit alone.
        const std::size_t mask = m_places.size() - 1;
        std::size_t at = std::size_t(std::uint64_t(key) * 0x9E3779B97F4A7C15u >> m_shift);
        while (m_places[at].key != 0 && m_places[at].key != key)
            at = (at + 1) & mask;
        return m_places[at];
    }

    void grow()
    {
        std::vector<Place> old(m_places.size() * 2);
        old.swap(m_places);
        --m_shift;
        for (const Place &place : old)
            if (place.key != 0)
                find(place.key) = place;
    }

    static constexpr int InitialBits = 16;
    std::vector<Place> m_places;
    std::size_t m_size = 0;
    int m_shift = 64 - InitialBits;
};

// Calls `visit(pair, keys)` for each pair of the bank with the distinct
// bigrams of its question's tolerant text.
template<typename Visit>
void forEachQuestion(const QuestionLines &lines, Visit visit)
{
    QString tolerant;
    std::vector<std::uint32_t> keys;
    for (qsizetype pair = 0; pair < lines.pairCount(); ++pair) {
        tolerantTextInto(questionText(lines.at(2 * pair)), tolerant);
        tolerantBigrams(tolerant, keys);
        visit(std::uint32_t(pair), keys);
    }
}

} // namespace

void tolerantBigrams(QStringView tolerant, std::vector<std::uint32_t> &keys)
{
    keys.clear();
    if (tolerant.size() == 1)
        keys.push_back(std::uint32_t(tolerant[0].unicode()) << 16);
    for (qsizetype i = 0; i + 1 < tolerant.size(); ++i)
        keys.push_back(std::uint32_t(tolerant[i].unicode()) << 16 | tolerant[i + 1].unicode());
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

BigramIndex BigramIndex::build(const QuestionLines &lines)
{
    BigramIndex index;
    index.m_gramCounts.resize(size_t(lines.pairCount()));

    // First pass: each question's bigrams as slots, and how many pairs each
    // slot's list holds.
    SlotTable slotTable;
    std::vector<std::uint32_t> questionSlots;
    questionSlots.reserve(size_t(lines.text().size()) / 2);
    std::vector<std::uint32_t> pairsInList;
    forEachQuestion(lines, [&](std::uint32_t pair, std::vector<std::uint32_t> &keys) {
        // The counts are 16-bit; no question comes near that many bigrams.
        keys.resize(std::min<std::size_t>(keys.size(), 0xFFFF));
        index.m_gramCounts[pair] = std::uint16_t(keys.size());
        for (const std::uint32_t key : keys) {
            const std::uint32_t slot = slotTable.slotOf(key);
            if (slot == pairsInList.size())
                pairsInList.push_back(0);
            ++pairsInList[slot];
            questionSlots.push_back(slot);
        }
    });

    // Second pass: the bits each list takes with its Rice parameter.
    std::vector<int> riceBits(pairsInList.size());
    for (std::size_t slot = 0; slot < riceBits.size(); ++slot)
        riceBits[slot] = riceParameter(index.m_gramCounts.size(), pairsInList[slot]);
    std::vector<std::uint64_t> listBits(pairsInList.size());
    index.forEachPosting(questionSlots, pairsInList.size(), [&](std::uint32_t slot, std::uint32_t gap) {
        listBits[slot] += std::uint64_t(codeBits(gap, riceBits[slot]));
    });

    // The keys in ascending order, each list's place in one array.
    const std::vector<std::uint32_t> keysBySlot = slotTable.keysBySlot();
    std::vector<std::uint32_t> slotsByKey(keysBySlot.size());
    for (std::uint32_t slot = 0; slot < slotsByKey.size(); ++slot)
        slotsByKey[slot] = slot;
    std::sort(slotsByKey.begin(), slotsByKey.end(),
              [&](std::uint32_t a, std::uint32_t b) { return keysBySlot[a] < keysBySlot[b]; });
    std::vector<std::uint64_t> cursor(keysBySlot.size());
    index.m_keys.reserve(keysBySlot.size());
    index.m_listStarts.reserve(keysBySlot.size() + 1);
    index.m_listPairs.reserve(keysBySlot.size());
    std::uint64_t start = 0;
    for (const std::uint32_t slot : slotsByKey) {
        index.m_keys.push_back(keysBySlot[slot]);
        index.m_listStarts.push_back(start);
        index.m_listPairs.push_back(pairsInList[slot]);
        cursor[slot] = start * 8;
        start += (listBits[slot] + 7) / 8;
    }
    index.m_listStarts.push_back(start);

    // Third pass: the lists themselves.
    index.m_postings.resize(start + ReadAhead);
    index.forEachPosting(questionSlots, pairsInList.size(), [&](std::uint32_t slot, std::uint32_t gap) {
        cursor[slot] = writeCode(index.m_postings.data(), cursor[slot], gap, riceBits[slot]);
    });
    return index;
}

template<typename Visit>
void BigramIndex::forEachPosting(const std::vector<std::uint32_t> &questionSlots, std::size_t slotCount, Visit visit) const
{
    std::vector<std::uint32_t> lastPair(slotCount, NoPair);
    auto slot = questionSlots.cbegin();
    for (std::uint32_t pair = 0; pair < m_gramCounts.size(); ++pair) {
        for (const auto end = slot + m_gramCounts[pair]; slot != end; ++slot) {
            visit(*slot, lastPair[*slot] == NoPair ? pair : pair - lastPair[*slot] - 1);
            lastPair[*slot] = pair;
        }
    }
}

std::size_t BigramIndex::byteSize() const
{
    return m_keys.capacity() * sizeof(std::uint32_t) + m_listStarts.capacity() * sizeof(std::uint64_t)
        + m_listPairs.capacity() * sizeof(std::uint32_t) + m_postings.capacity()
        + m_gramCounts.capacity() * sizeof(std::uint16_t)
        + m_tally.capacity() * sizeof(std::uint16_t);
}

qsizetype BigramIndex::keyIndex(std::uint32_t key) const
{
    const auto found = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    return found != m_keys.end() && *found == key ? found - m_keys.begin() : -1;
}

std::vector<BigramIndex::Candidate> BigramIndex::closestPairs(const QuestionLines &lines, QStringView tolerantQuery,
                                                             int limit) const
{
    std::vector<std::uint32_t> queryKeys;
    tolerantBigrams(tolerantQuery, queryKeys);
    // The tally counts to 65535; a longer text is never a question anyway.
    queryKeys.resize(std::min<std::size_t>(queryKeys.size(), 0xFFFF));
    if (queryKeys.empty() || limit <= 0 || pairCount() == 0)
        return {};

    // The query's lists, shortest first. The commonest quarter of its bigrams
    // bring no candidates of their own: a question sharing only those cannot
    // come close to the query, and their lists are most of the work.
    std::vector<qsizetype> lists;
    for (const std::uint32_t key : queryKeys)
        if (const qsizetype at = keyIndex(key); at >= 0)
            lists.push_back(at);
    std::sort(lists.begin(), lists.end(), [&](qsizetype a, qsizetype b) { return m_listPairs[size_t(a)] < m_listPairs[size_t(b)]; });
    const qsizetype skipped = std::min(qsizetype(queryKeys.size()) / 4, std::max<qsizetype>(qsizetype(lists.size()) - 1, 0));
    lists.resize(lists.size() - size_t(skipped));

    const std::vector<std::uint32_t> touched = tallyLists(lists);
    const std::vector<std::uint32_t> shortlist = mostShared(touched, qsizetype(limit) * ShortlistPerRow);
    for (const std::uint32_t pair : touched)
        m_tally[pair] = 0;

    // Exact Dice scores for the shortlist, from the questions themselves.
    std::vector<Candidate> candidates;
    QString question;
    std::vector<std::uint32_t> questionKeys;
    std::vector<std::uint32_t> shared;
    for (const std::uint32_t pair : shortlist) {
        tolerantTextInto(questionText(lines.at(2 * qsizetype(pair))), question);
        tolerantBigrams(question, questionKeys);
        shared.clear();
        std::set_intersection(queryKeys.begin(), queryKeys.end(), questionKeys.begin(), questionKeys.end(),
                              std::back_inserter(shared));
        candidates.push_back({qsizetype(pair), 2.0 * double(shared.size()) / double(queryKeys.size() + questionKeys.size())});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return a.dice != b.dice ? a.dice > b.dice : a.pair < b.pair;
    });
    candidates.resize(std::min(candidates.size(), size_t(limit)));
    return candidates;
}

template<typename Visit>
void BigramIndex::forEachPairOf(qsizetype list, Visit visit) const
{
    const int k = riceParameter(m_gramCounts.size(), m_listPairs[size_t(list)]);
    std::uint64_t bit = m_listStarts[size_t(list)] * 8;
    std::uint32_t pair = 0;
    for (std::uint32_t left = m_listPairs[size_t(list)], gap = 0; left > 0; --left) {
        bit = readCode(m_postings.data(), bit, gap, k);
        pair += gap;
        visit(pair);
        ++pair;
    }
}

std::vector<std::uint32_t> BigramIndex::pairsHolding(std::uint32_t key) const
{
    std::vector<std::uint32_t> pairs;
    if (const qsizetype list = keyIndex(key); list >= 0)
        forEachPairOf(list, [&](std::uint32_t pair) { pairs.push_back(pair); });
    return pairs;
}

std::vector<std::uint32_t> BigramIndex::tallyLists(const std::vector<qsizetype> &lists) const
{
    if (m_tally.empty())
        m_tally.resize(m_gramCounts.size());
    std::vector<std::uint32_t> touched;
    for (const qsizetype list : lists) {
        forEachPairOf(list, [&](std::uint32_t pair) {
            if (m_tally[pair]++ == 0)
                touched.push_back(pair);
        });
    }
    return touched;
}

std::vector<std::uint32_t> BigramIndex::mostShared(const std::vector<std::uint32_t> &touched, qsizetype count) const
{
    // The tallies are small numbers: count how many pairs have each, and
    // take those of the highest tallies until `count` are reached.
    std::vector<qsizetype> pairsWithTally;
    for (const std::uint32_t pair : touched) {
        const std::uint16_t tally = m_tally[pair];
        if (tally >= pairsWithTally.size())
            pairsWithTally.resize(size_t(tally) + 1);
        ++pairsWithTally[tally];
    }
    std::uint16_t lowest = std::uint16_t(pairsWithTally.empty() ? 0 : pairsWithTally.size() - 1);
    for (qsizetype taken = 0; lowest > 1; --lowest) {
        taken += pairsWithTally[lowest];
        if (taken >= count)
            break;
    }
    std::vector<std::uint32_t> shortlist;
    for (const std::uint32_t pair : touched)
        if (m_tally[pair] >= lowest)
            shortlist.push_back(pair);
    // Many pairs of the same low tally: the ones of fewest bigrams come closest.
    if (shortlist.size() > size_t(count)) {
        std::nth_element(shortlist.begin(), shortlist.begin() + count, shortlist.end(),
                         [&](std::uint32_t a, std::uint32_t b) {
                             const double diceA = double(m_tally[a]) / (m_gramCounts[a] + 1.0);
                             const double diceB = double(m_tally[b]) / (m_gramCounts[b] + 1.0);
                             return diceA != diceB ? diceA > diceB : a < b;
                         });
        shortlist.resize(size_t(count));
    }
    return shortlist;
}
