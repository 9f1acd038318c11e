#pragma once

#include "bank/QuestionLines.h"
#include "search/SearchResult.h"

#include <QString>

#include <optional>

// How a long scan is shared with a second thread (ScanWorker). The defaults
// suit the window; tests make the parts small, so that small banks take
// every path.
struct ScanSplit
{
    // Scanned first, alone on the caller's thread (some 30 µs): a query whose
    // hits stand early wakes no thread.
    qsizetype leadUnits = qsizetype(1) << 18;
    // What follows the lead is scanned by both threads from this many units
    // on; a shorter rest stays on the caller's thread.
    qsizetype minSplitUnits = qsizetype(1) << 20;
    // Both threads take chunks of this many units (1 MB, some 60 µs) in turn
    // (ScanChunks): a thread held up by the system delays the search by one
    // chunk at most.
    qsizetype chunkUnits = qsizetype(1) << 19;
};

// Finds the question lines that contain the lower-cased query, in bank order,
// up to MaxHits. No result when the query has QueryByteThreshold bytes or fewer.
std::optional<SearchResult> SearchQuestions(const QuestionLines &lines, const QString &query, const ScanSplit &split = {});
