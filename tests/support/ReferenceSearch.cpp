#include "ReferenceSearch.h"

std::optional<SearchResult> searchQuestionsReference(const QuestionLines &lines, const QString &query)
{
    const std::optional<QString> needle = searchNeedle(query);
    if (!needle)
        return std::nullopt;
    SearchResult result;
    for (qsizetype i = 0; i + 1 < lines.size() && result.HitCount < MaxHits; i += 2) {
        if (lines.at(i).contains(*needle, Qt::CaseSensitive))
            result.addHit(lines.at(i), lines.at(i + 1));
    }
    result.finish();
    return result;
}
