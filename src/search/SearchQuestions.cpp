#include "search/SearchQuestions.h"

#include "search/QuestionRangeScan.h"
#include "search/RarestPair.h"
#include "search/ScanWorker.h"

#include <algorithm>
#include <vector>

namespace {

// The bank's question lines in parts, each scanned in turn or beside another,
// and their hits joined in bank order.
class PartedSearch
{
public:
    PartedSearch(const QuestionLines &lines, QStringView needle, const ScanSplit &split)
        : m_lines(lines), m_needle(needle), m_split(split), m_lastQuestion((lines.size() - 2) & ~qsizetype(1)),
          m_rarest(rarestPair(QStringView(lines.text()).first(lines.lineEnd(m_lastQuestion)), needle))
    {
    }

    // The line of each hit's question, in bank order; the bank has a pair at least.
    std::vector<qsizetype> run()
    {
        const qsizetype restFirst = questionFrom(m_split.leadUnits);
        if (restFirst > 0)
            scanAlone(0, restFirst - 2);
        if (restFirst <= m_lastQuestion && m_hits.size() < size_t(MaxHits)) {
            if (!shouldSplit(restFirst) || !scanInHalves(restFirst))
                scanAlone(restFirst, m_lastQuestion);
        }
        return m_hits;
    }

private:
    // The first question line that starts at `units` or after, or the one past the last.
    qsizetype questionFrom(qsizetype units) const
    {
        const std::span<const std::uint32_t> starts = m_lines.lineStarts();
        const auto clamped = std::uint32_t(std::clamp<qsizetype>(units, 0, m_lines.text().size()));
        const qsizetype line = std::lower_bound(starts.begin(), starts.end(), clamped) - starts.begin();
        return std::min((line + 1) & ~qsizetype(1), m_lastQuestion + 2);
    }

    bool shouldSplit(qsizetype first) const
    {
        return first < m_lastQuestion && m_lines.lineEnd(m_lastQuestion) - m_lines.lineStart(first) >= m_split.minSplitUnits;
    }

    void scanAlone(qsizetype first, qsizetype last)
    {
        const std::atomic<int> wanted = MaxHits - int(m_hits.size());
        add(scanQuestionRange(m_lines, m_needle, m_rarest, first, last, m_split.sliceUnits, wanted));
    }

    // The first half on this thread, the second on the worker, which stops as
    // soon as the first half leaves it nothing to add. False, with nothing
    // scanned, where the worker cannot be had.
    bool scanInHalves(qsizetype first)
    {
        const qsizetype middleUnit = (m_lines.lineStart(first) + m_lines.lineEnd(m_lastQuestion)) / 2;
        const qsizetype second = std::clamp(questionFrom(middleUnit), first + 2, m_lastQuestion);
        std::atomic<int> wanted = MaxHits - int(m_hits.size());
        QuestionHits firstHits;
        QuestionHits secondHits;
        const bool ran = ScanWorker::shared().runBeside(
            [&] { secondHits = scanQuestionRange(m_lines, m_needle, m_rarest, second, m_lastQuestion, m_split.sliceUnits, wanted); },
            [&] {
                firstHits = scanQuestionRange(m_lines, m_needle, m_rarest, first, second - 2, m_split.sliceUnits, wanted);
                wanted.fetch_sub(firstHits.count, std::memory_order_relaxed);
            });
        if (ran) {
            add(firstHits);
            add(secondHits);
        }
        return ran;
    }

    void add(const QuestionHits &hits)
    {
        const size_t room = size_t(MaxHits) - m_hits.size();
        m_hits.insert(m_hits.end(), hits.lines.begin(), hits.lines.begin() + std::min(size_t(hits.count), room));
    }

    const QuestionLines &m_lines;
    const QStringView m_needle;
    const ScanSplit m_split;
    const qsizetype m_lastQuestion; // the last question line that has an answer line after it
    const RarestPair m_rarest;
    std::vector<qsizetype> m_hits;
};

} // namespace

// A needle has two code units at least: more than three GBK bytes take two
// characters, and lower-casing never makes a text shorter.
std::optional<SearchResult> SearchQuestions(const QuestionLines &lines, const QString &query, const ScanSplit &split)
{
    const std::optional<QString> needle = searchNeedle(query);
    if (!needle)
        return std::nullopt;
    SearchResult result;
    if (lines.size() >= 2) {
        for (const qsizetype line : PartedSearch(lines, *needle, split).run())
            result.addHit(lines.at(line), lines.at(line + 1));
    }
    result.finish();
    return result;
}
