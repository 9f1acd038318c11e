#include "search/BigramIndex.h"

#include "search/SearchResult.h"
#include "search/TolerantText.h"

#include <QString>

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

constexpr std::uint32_t NoPair = std::numeric_limits<std::uint32_t>::max();

int varintSize(std::uint32_t value)
{
    int size = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++size;
    }
    return size;
}

std::uint8_t *writeVarint(std::uint8_t *out, std::uint32_t value)
{
    while (value >= 0x80) {
        *out++ = std::uint8_t(value | 0x80);
        value >>= 7;
    }
    *out++ = std::uint8_t(value);
    return out;
}

const std::uint8_t *readVarint(const std::uint8_t *in, std::uint32_t &value)
{
    value = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = *in++;
        value |= std::uint32_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            return in;
    }
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

    // First pass: each question's bigrams as slots, and the bytes each slot's
    // list will take.
    SlotTable slotTable;
    std::vector<std::uint32_t> questionSlots;
    questionSlots.reserve(size_t(lines.text().size()) / 2);
    std::vector<std::uint32_t> lastPair;
    std::vector<std::uint32_t> listBytes;
    forEachQuestion(lines, [&](std::uint32_t pair, std::vector<std::uint32_t> &keys) {
        // The counts are 16-bit; no question comes near that many bigrams.
        keys.resize(std::min<std::size_t>(keys.size(), 0xFFFF));
        index.m_gramCounts[pair] = std::uint16_t(keys.size());
        for (const std::uint32_t key : keys) {
            const std::uint32_t slot = slotTable.slotOf(key);
            if (slot == lastPair.size()) {
                lastPair.push_back(NoPair);
                listBytes.push_back(0);
            }
            listBytes[slot] += std::uint32_t(varintSize(lastPair[slot] == NoPair ? pair : pair - lastPair[slot]));
            lastPair[slot] = pair;
            questionSlots.push_back(slot);
        }
    });

    // The keys in ascending order, each list's place in one array.
    const std::vector<std::uint32_t> keysBySlot = slotTable.keysBySlot();
    std::vector<std::uint32_t> slotsByKey(keysBySlot.size());
    for (std::uint32_t slot = 0; slot < slotsByKey.size(); ++slot)
        slotsByKey[slot] = slot;
    std::sort(slotsByKey.begin(), slotsByKey.end(),
              [&](std::uint32_t a, std::uint32_t b) { return keysBySlot[a] < keysBySlot[b]; });
    std::vector<std::uint32_t> cursor(keysBySlot.size());
    index.m_keys.reserve(keysBySlot.size());
    index.m_listStarts.reserve(keysBySlot.size() + 1);
    std::uint32_t start = 0;
    for (const std::uint32_t slot : slotsByKey) {
        index.m_keys.push_back(keysBySlot[slot]);
        index.m_listStarts.push_back(start);
        cursor[slot] = start;
        start += listBytes[slot];
    }
    index.m_listStarts.push_back(start);

    // Second pass: the lists themselves.
    index.m_postings.resize(start);
    std::fill(lastPair.begin(), lastPair.end(), NoPair);
    auto slot = questionSlots.cbegin();
    for (std::uint32_t pair = 0; pair < index.m_gramCounts.size(); ++pair) {
        for (const auto end = slot + index.m_gramCounts[pair]; slot != end; ++slot) {
            std::uint8_t *written = writeVarint(index.m_postings.data() + cursor[*slot],
                                                lastPair[*slot] == NoPair ? pair : pair - lastPair[*slot]);
            cursor[*slot] = std::uint32_t(written - index.m_postings.data());
            lastPair[*slot] = pair;
        }
    }
    return index;
}

std::size_t BigramIndex::byteSize() const
{
    return m_keys.capacity() * sizeof(std::uint32_t) + m_listStarts.capacity() * sizeof(std::uint32_t)
        + m_postings.capacity() + m_gramCounts.capacity() * sizeof(std::uint16_t)
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
    const auto listBytes = [&](qsizetype at) { return m_listStarts[size_t(at) + 1] - m_listStarts[size_t(at)]; };
    std::sort(lists.begin(), lists.end(), [&](qsizetype a, qsizetype b) { return listBytes(a) < listBytes(b); });
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

std::vector<std::uint32_t> BigramIndex::tallyLists(const std::vector<qsizetype> &lists) const
{
    if (m_tally.empty())
        m_tally.resize(m_gramCounts.size());
    std::vector<std::uint32_t> touched;
    for (const qsizetype at : lists) {
        const std::uint8_t *in = m_postings.data() + m_listStarts[size_t(at)];
        const std::uint8_t *end = m_postings.data() + m_listStarts[size_t(at) + 1];
        std::uint32_t pair = 0;
        for (bool first = true; in < end; first = false) {
            std::uint32_t gap = 0;
            in = readVarint(in, gap);
            pair = first ? gap : pair + gap;
            if (m_tally[pair]++ == 0)
                touched.push_back(pair);
        }
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
