#pragma once

#include "bank/QuestionLines.h"

#include <QStringView>

#include <cstdint>
#include <vector>

// The inverted index of a tolerant search: for every pair of neighbouring
// characters in the tolerant text of the bank's questions (the part before
// the first "-"), the pairs of the bank whose question holds it. Each list is
// kept as the gaps between ascending pair numbers, Rice-coded with a
// parameter from the list's density (about 1.2 bytes a pair at 1,000,000
// pairs), so the index is a fraction of the text it covers.
//
// Built once per bank, on any thread; queries run one thread at a time, for
// they share a tally the size of the bank.
class BigramIndex
{
public:
    struct Candidate
    {
        qsizetype pair = 0; // the pair's number: its question is line 2 × pair
        double dice = 0;    // 2 × shared bigrams ÷ (the query's + the question's)
    };

    BigramIndex() = default;
    static BigramIndex build(const QuestionLines &lines);

    qsizetype pairCount() const { return qsizetype(m_gramCounts.size()); }
    // The bytes the index holds, the tally of queries included once made.
    std::size_t byteSize() const;

    // The `limit` pairs of best Dice score with the tolerant text given, best
    // first (ties in bank order), among those that share with it the most of
    // its rarer bigrams; `lines` are those the index was built from.
    std::vector<Candidate> closestPairs(const QuestionLines &lines, QStringView tolerantQuery, int limit) const;

    // The pairs whose question holds the bigram `key` (as tolerantBigrams
    // makes them), ascending.
    std::vector<std::uint32_t> pairsHolding(std::uint32_t key) const;

private:
    // Pairs whose tallies are compared for every row asked for.
    static constexpr qsizetype ShortlistPerRow = 4;

    // Calls visit(slot, gap) for each posting of the bank in pair order, the
    // gap being how many pairs of the slot's list it skips.
    template<typename Visit>
    void forEachPosting(const std::vector<std::uint32_t> &questionSlots, std::size_t slotCount, Visit visit) const;
    // Calls visit(pair) for each pair on the list, ascending.
    template<typename Visit>
    void forEachPairOf(qsizetype list, Visit visit) const;
    // Tallies the pairs on the lists given; returns those tallied, each once.
    std::vector<std::uint32_t> tallyLists(const std::vector<qsizetype> &lists) const;
    // About `count` of the touched pairs with the highest tallies.
    std::vector<std::uint32_t> mostShared(const std::vector<std::uint32_t> &touched, qsizetype count) const;
    // The index of `key` in m_keys, or -1.
    qsizetype keyIndex(std::uint32_t key) const;

    std::vector<std::uint32_t> m_keys;       // the distinct bigrams, ascending
    std::vector<std::uint64_t> m_listStarts; // the byte where each key's list starts in m_postings; one more at the end
    std::vector<std::uint32_t> m_listPairs;  // how many pairs each list holds
    std::vector<std::uint8_t> m_postings;    // the lists, one after the other, and a few bytes to read ahead
    std::vector<std::uint16_t> m_gramCounts; // distinct bigrams of each pair's question
    mutable std::vector<std::uint16_t> m_tally; // shared bigrams per pair during a query; all 0 between queries
};

// The distinct bigrams of a tolerant text as 32-bit keys (first unit in the
// high half), ascending; a text of one character is its own key.
void tolerantBigrams(QStringView tolerant, std::vector<std::uint32_t> &keys);
