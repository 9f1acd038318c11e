#include "search/SearchResult.h"

#include "text/CodePage.h"

void SearchResult::addHit(QStringView questionLine, QStringView answerLine)
{
    Questions.append(questionText(questionLine).toString());
    Answers.append(answerLine.toString());
    ++HitCount;
}

void SearchResult::finish()
{
    StatusText = statusTextFor(HitCount);
}

std::optional<QString> searchNeedle(const QString &query)
{
    if (CodePage::ansiByteCount(query) <= QueryByteThreshold)
        return std::nullopt;
    return query.toLower();
}

QString statusTextFor(int hitCount)
{
    if (hitCount == 0)
        return QStringLiteral("未查询到先关问题");
    return QStringLiteral("查找到%1条").arg(hitCount);
}

QStringView questionText(QStringView questionLine)
{
    const qsizetype dash = questionLine.indexOf(u'-');
    return dash < 0 ? questionLine : questionLine.first(dash);
}
