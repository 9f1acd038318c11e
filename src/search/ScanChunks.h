#pragma once

#include "bank/QuestionLines.h"
#include "search/QuestionRangeScan.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A part of the bank that two threads scan together, in chunks of about the
// same length of text that each takes in bank order as soon as it is free:
// a thread the system keeps waiting holds up one chunk at most, the other
// takes the rest. Each chunk's hits are kept apart and joined in bank order.
// No chunk is handed out once the chunks done from the first on hold all the
// hits wanted, and the chunk being scanned after them is stopped.
class ScanChunks
{
public:
    // Scans question lines `first` to `last` (even, with answer lines) in
    // chunks from `chunkUnits` units of text on, looking for `wanted` hits.
    ScanChunks(const QuestionLines &lines, qsizetype first, qsizetype last, qsizetype chunkUnits, int wanted);

    // Takes and scans chunks, with scan(first, last, wanted), until none is
    // left or needed. Every thread that shares the work calls it.
    using ChunkScan = std::function<QuestionHits(qsizetype first, qsizetype last, const std::atomic<int> &wanted)>;
    void work(const ChunkScan &scan);

    // Appends the lines of the hits found, in bank order, up to `wanted` of
    // them; once every thread's work() has returned.
    void collect(std::vector<qsizetype> &hits) const;

private:
    // The next chunk to scan, or -1; with the lock held.
    qsizetype take();
    // Records a chunk's hits and moves the chunks done from the first on; with the lock held.
    void finish(qsizetype chunk, const QuestionHits &hits);

    const QuestionLines &m_lines;
    const qsizetype m_first;
    const qsizetype m_last;
    const qsizetype m_base;       // where the text of the first question line starts
    const qsizetype m_chunkUnits;
    const qsizetype m_chunkCount;
    const int m_wanted;

    std::mutex m_mutex;
    std::vector<QuestionHits> m_hits;           // each chunk's, written by the thread that scans it
    std::unique_ptr<std::atomic<int>[]> m_chunkWanted; // lowered for a chunk whose hits are no longer all needed
    std::vector<bool> m_done;
    qsizetype m_next = 0;       // the first chunk not yet handed out
    qsizetype m_doneBefore = 0; // chunks 0 to this - 1 are all done
    int m_hitsBefore = 0;       // and hold this many hits
};
