#include "search/SearchQuestions.h"

#include "text/CodePage.h"

QString StatusTextFor(int hitCount)
{
    if (hitCount == 0)
        return QStringLiteral("未查询到先关问题");
    return QStringLiteral("查找到%1条").arg(hitCount);
}

QStringView QuestionText(QStringView questionLine)
{
    const qsizetype dash = questionLine.indexOf(u'-');
    return dash < 0 ? questionLine : questionLine.first(dash);
}

std::optional<SearchResult> SearchQuestions(const QuestionLines &lines, const QString &query)
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
