#pragma once

#include "bank/QuestionLines.h"
#include "search/SearchResult.h"

#include <QString>

#include <optional>

// The plain search: one substring test per question line, in bank order. The
// fast search is checked and measured against it.
std::optional<SearchResult> searchQuestionsReference(const QuestionLines &lines, const QString &query);
