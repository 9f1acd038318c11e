#pragma once

#include "bank/QuestionLines.h"
#include "search/RarestPair.h"
#include "search/SearchResult.h"

#include <QStringView>

#include <array>
#include <atomic>

// The question lines of one part of the bank that hold the needle, in bank order.
struct QuestionHits
{
    std::array<qsizetype, MaxHits> lines{};
    int count = 0;
};

// The hits among question lines `first` to `last` (even indices, each with
// its answer line after it), until there are `wanted` of them. The scan looks
// for the needle's rarest pair of code units in the whole bank, `rarest`,
// through the part's text, then checks each place found: the whole needle
// must stand around it, inside a question line. Another thread may lower
// `wanted` meanwhile; the scan then stops at the next place it looks at.
// Parts may be scanned at once on several threads.
QuestionHits scanQuestionRange(const QuestionLines &lines, QStringView needle, RarestPair rarest, qsizetype first,
                               qsizetype last, const std::atomic<int> &wanted);

// The first question line that starts at `unit` of the text or after it;
// `lastQuestion` + 2 where none up to `lastQuestion` does.
qsizetype firstQuestionFrom(const QuestionLines &lines, qsizetype unit, qsizetype lastQuestion);
