#include "search/SearchQuestions.h"

#include "search/RarestPair.h"

#include <algorithm>

namespace {

// Scans the bank's whole text at once for the query's rarest pair of code
// units, then checks each place found: the whole query must stand around it,
// and the match must lie inside a question line that has an answer line.
// Places are decided in the order of the matches they stand for, since the
// pair sits at the same offset in each. After a place in line i has been
// decided, nothing else in line i can count, so the scan goes on at the next
// question line.
class WholeTextScan
{
public:
    WholeTextScan(const QuestionLines &lines, QStringView needle, SearchResult &result)
        : m_lines(lines), m_starts(lines.lineStarts()), m_needle(needle), m_result(result)
    {
    }

    void run()
    {
        if (m_lines.size() < 2)
            return;
        // The last question line that has an answer line after it.
        m_lastQuestion = (m_lines.size() - 2) & ~qsizetype(1);
        m_scanEnd = m_lines.lineEnd(m_lastQuestion);
        const QStringView text = QStringView(m_lines.text()).first(m_scanEnd);
        const RarestPair rarest = rarestPair(text, m_needle);
        const qsizetype offset = rarest.offset;
        // The pair at `pair` stands for a match from pair - offset on; the scan
        // goes on from where the next possible match would put the pair.
        UnitPairScan::scan(
            text, offset, m_needle[offset].unicode(), m_needle[offset + 1].unicode(),
            [this, offset](qsizetype pair) {
                const qsizetype resume = visit(pair - offset);
                return resume < 0 ? resume : resume + offset;
            },
            rarest.lead);
    }

private:
    qsizetype visit(qsizetype position)
    {
        if (!restMatches(position))
            return position + 1;
        const qsizetype line = lineContaining(position);
        const bool isQuestion = line % 2 == 0;
        if (isQuestion && position + m_needle.size() <= m_lines.lineEnd(line) && addHit(line) == MaxHits)
            return -1;
        const qsizetype nextQuestion = isQuestion ? line + 2 : line + 1;
        return nextQuestion <= m_lastQuestion ? m_lines.lineStart(nextQuestion) : -1;
    }

    bool restMatches(qsizetype position) const
    {
        if (position + m_needle.size() > m_scanEnd)
            return false;
        return std::equal(m_needle.begin(), m_needle.end(), m_lines.text().constData() + position);
    }

    // Places only move forward, so the search for the line starts where the last one ended.
    qsizetype lineContaining(qsizetype position)
    {
        const auto after = std::upper_bound(m_starts.begin() + m_cursor, m_starts.end(), std::uint32_t(position));
        m_cursor = (after - m_starts.begin()) - 1;
        return m_cursor;
    }

    int addHit(qsizetype line)
    {
        m_result.addHit(m_lines.at(line), m_lines.at(line + 1));
        return m_result.HitCount;
    }

    const QuestionLines &m_lines;
    const std::span<const std::uint32_t> m_starts;
    const QStringView m_needle;
    SearchResult &m_result;
    qsizetype m_lastQuestion = 0;
    qsizetype m_scanEnd = 0;
    qsizetype m_cursor = 0;
};

} // namespace

// A needle has two code units at least: more than three GBK bytes take two
// characters, and lower-casing never makes a text shorter.
std::optional<SearchResult> SearchQuestions(const QuestionLines &lines, const QString &query)
{
    const std::optional<QString> needle = searchNeedle(query);
    if (!needle)
        return std::nullopt;
    SearchResult result;
    WholeTextScan(lines, *needle, result).run();
    result.finish();
    return result;
}
