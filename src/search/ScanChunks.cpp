#include "search/ScanChunks.h"

#include <algorithm>

ScanChunks::ScanChunks(const QuestionLines &lines, qsizetype first, qsizetype last, qsizetype chunkUnits, int wanted)
    : m_lines(lines), m_first(first), m_last(last), m_base(lines.lineStart(first)),
      m_chunkUnits(std::max<qsizetype>(chunkUnits, 1)),
      m_chunkCount((lines.lineEnd(last) - m_base + m_chunkUnits - 1) / m_chunkUnits + 1), m_wanted(wanted),
      m_hits(size_t(m_chunkCount)), m_chunkWanted(std::make_unique<std::atomic<int>[]>(size_t(m_chunkCount))),
      m_done(size_t(m_chunkCount), false)
{
}

void ScanChunks::work(const ChunkScan &scan)
{
    std::unique_lock lock(m_mutex);
    for (qsizetype chunk = take(); chunk >= 0; chunk = take()) {
        // Chunk c holds the question lines that start in its c-th piece of text.
        const qsizetype first = std::max(firstQuestionFrom(m_lines, m_base + chunk * m_chunkUnits, m_last), m_first);
        const qsizetype last = firstQuestionFrom(m_lines, m_base + (chunk + 1) * m_chunkUnits, m_last) - 2;
        lock.unlock();
        QuestionHits hits;
        if (first <= last)
            hits = scan(first, last, m_chunkWanted[size_t(chunk)]);
        lock.lock();
        finish(chunk, hits);
    }
}

qsizetype ScanChunks::take()
{
    if (m_next == m_chunkCount || m_hitsBefore >= m_wanted)
        return -1;
    const qsizetype chunk = m_next++;
    // The chunks still being scanned before it may add hits too, so this is
    // as many as it may need, or more.
    m_chunkWanted[size_t(chunk)].store(m_wanted - m_hitsBefore, std::memory_order_relaxed);
    return chunk;
}

void ScanChunks::finish(qsizetype chunk, const QuestionHits &hits)
{
    m_hits[size_t(chunk)] = hits;
    m_done[size_t(chunk)] = true;
    while (m_doneBefore < m_next && m_done[size_t(m_doneBefore)])
        m_hitsBefore += m_hits[size_t(m_doneBefore++)].count;
    // The first chunk not done is being scanned: it needs no more than the rest.
    if (m_doneBefore < m_next)
        m_chunkWanted[size_t(m_doneBefore)].store(std::max(m_wanted - m_hitsBefore, 0), std::memory_order_relaxed);
}

void ScanChunks::collect(std::vector<qsizetype> &hits) const
{
    const size_t limit = hits.size() + size_t(m_wanted);
    for (qsizetype chunk = 0; chunk < m_doneBefore && hits.size() < limit; ++chunk) {
        const QuestionHits &found = m_hits[size_t(chunk)];
        hits.insert(hits.end(), found.lines.begin(), found.lines.begin() + std::min(size_t(found.count), limit - hits.size()));
    }
}
