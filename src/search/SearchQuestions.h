#pragma once

#include "bank/QuestionLines.h"
#include "search/SearchResult.h"

#include <QString>

#include <optional>

// Finds the question lines that contain the lower-cased query, in bank order,
// up to MaxHits. No result when the query has QueryByteThreshold bytes or fewer.
std::optional<SearchResult> SearchQuestions(const QuestionLines &lines, const QString &query);
