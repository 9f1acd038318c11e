#include "search/SearchQuestions.h"

#include "search/QuestionRangeScan.h"
#include "search/RarestPair.h"
#include "search/ScanChunks.h"
#include "search/ScanWorker.h"

#include <algorithm>
#include <vector>

namespace {

// The bank's question lines in parts: a lead scanned alone, then the rest,
// when it is long, by two threads together; their hits joined in bank order.
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
        const qsizetype restFirst = firstQuestionFrom(m_lines, m_split.leadUnits, m_lastQuestion);
        if (restFirst > 0)
            scanAlone(0, restFirst - 2);
        if (restFirst <= m_lastQuestion && m_hits.size() < size_t(MaxHits)) {
            if (shouldSplit(restFirst))
                scanShared(restFirst);
            else
                scanAlone(restFirst, m_lastQuestion);
        }
        return m_hits;
    }

private:
    bool shouldSplit(qsizetype first) const
    {
        return first < m_lastQuestion && m_lines.lineEnd(m_lastQuestion) - m_lines.lineStart(first) >= m_split.minSplitUnits;
    }

    void scanAlone(qsizetype first, qsizetype last)
    {
        const std::atomic<int> wanted = MaxHits - int(m_hits.size());
        add(scanQuestionRange(m_lines, m_needle, m_rarest, first, last, wanted));
    }

    // This thread and the worker take chunks of the rest in turn; where the
    // worker cannot be had, or has not begun when this thread is through,
    // this thread takes them all.
    void scanShared(qsizetype first)
    {
        ScanChunks chunks(m_lines, first, m_lastQuestion, m_split.chunkUnits, MaxHits - int(m_hits.size()));
        const ScanChunks::ChunkScan scan = [this](qsizetype from, qsizetype to, const std::atomic<int> &wanted) {
            return scanQuestionRange(m_lines, m_needle, m_rarest, from, to, wanted);
        };
        const std::function<void()> work = [&] { chunks.work(scan); };
        ScanWorker::shared().runBeside(work, work);
        chunks.collect(m_hits);
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
