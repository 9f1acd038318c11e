#include "search/ReferenceSearch.h"

#include "text/CodePage.h"

std::optional<SearchResult> SearchQuestionsReference(const QuestionLines &lines, const QString &query)
{
    if (CodePage::ansiByteCount(query) <= QueryByteThreshold)
        return std::nullopt;

    const QString needle = query.toLower();
    SearchResult result;
    for (qsizetype i = 0; i + 1 < lines.size() && result.HitCount < MaxHits; i += 2) {
        const QStringView questionLine = lines.at(i);
        if (!questionLine.contains(needle, Qt::CaseSensitive))
            continue;
        result.Questions.append(QuestionText(questionLine).toString());
        result.Answers.append(lines.at(i + 1).toString());
        ++result.HitCount;
    }
    result.StatusText = StatusTextFor(result.HitCount);
    return result;
}
