#include "search/QuestionRangeScan.h"

#include "text/UnitPairScan.h"

#include <algorithm>

namespace {

// One scan of one part. Places are decided in the order of the matches they
// stand for, since the pair sits at the same offset in each. After a place in
// line i has been decided, nothing else in line i can count, so the scan goes
// on at the next question line.
class PartScan
{
public:
    PartScan(const QuestionLines &lines, QStringView needle, RarestPair rarest, qsizetype first, qsizetype last,
             const std::atomic<int> &wanted)
        : m_lines(lines), m_starts(lines.lineStarts()), m_needle(needle), m_rarest(rarest), m_last(last),
          m_end(lines.lineEnd(last)), m_wanted(wanted), m_cursor(first)
    {
    }

    QuestionHits run()
    {
        if (enough())
            return m_hits;
        const QStringView text = QStringView(m_lines.text()).first(m_end);
        const qsizetype offset = m_rarest.offset;
        // The pair at `pair` stands for a match from pair - offset on; the scan
        // goes on from where the next possible match would put the pair.
        UnitPairScan::scan(
            text, m_lines.lineStart(m_cursor) + offset, m_needle[offset].unicode(), m_needle[offset + 1].unicode(),
            [this, offset](qsizetype pair) {
                const qsizetype resume = visit(pair - offset);
                return resume < 0 ? resume : resume + offset;
            },
            m_rarest.lead);
        return m_hits;
    }

private:
    bool enough() const { return m_hits.count >= m_wanted.load(std::memory_order_relaxed); }

    // Where the next match may start after a place at `position`, or -1.
    qsizetype visit(qsizetype position)
    {
        if (enough())
            return -1;
        if (!restMatches(position))
            return position + 1;
        const qsizetype line = lineContaining(position);
        const bool isQuestion = line % 2 == 0;
        if (isQuestion && position + m_needle.size() <= m_lines.lineEnd(line)) {
            m_hits.lines[size_t(m_hits.count++)] = line;
            if (enough())
                return -1;
        }
        const qsizetype nextQuestion = isQuestion ? line + 2 : line + 1;
        return nextQuestion <= m_last ? m_lines.lineStart(nextQuestion) : -1;
    }

    bool restMatches(qsizetype position) const
    {
        if (position + m_needle.size() > m_end)
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

    const QuestionLines &m_lines;
    const std::span<const std::uint32_t> m_starts;
    const QStringView m_needle;
    const RarestPair m_rarest;
    const qsizetype m_last;
    const qsizetype m_end; // the end of the last question line
    const std::atomic<int> &m_wanted;
    qsizetype m_cursor; // the line of the last place decided
    QuestionHits m_hits;
};

} // namespace

QuestionHits scanQuestionRange(const QuestionLines &lines, QStringView needle, RarestPair rarest, qsizetype first,
                               qsizetype last, const std::atomic<int> &wanted)
{
    return PartScan(lines, needle, rarest, first, last, wanted).run();
}

qsizetype firstQuestionFrom(const QuestionLines &lines, qsizetype unit, qsizetype lastQuestion)
{
    const std::span<const std::uint32_t> starts = lines.lineStarts();
    const auto clamped = std::uint32_t(std::clamp<qsizetype>(unit, 0, lines.text().size()));
    const qsizetype line = std::lower_bound(starts.begin(), starts.end(), clamped) - starts.begin();
    return std::min((line + 1) & ~qsizetype(1), lastQuestion + 2);
}
