#pragma once

#include "search/SearchQuestions.h"

// The plain search: one substring test per question line, pair by pair from
// the first. Slow on a large bank, but obviously right; the fast search must
// give exactly its results, and the benchmarks measure against it.
std::optional<SearchResult> SearchQuestionsReference(const QuestionLines &lines, const QString &query);
