#include "search/TolerantSearch.h"

#include "search/SearchResult.h"
#include "search/TolerantText.h"

#include <algorithm>

TolerantResult RankQuestions(const QuestionLines &lines, const BigramIndex &index, QStringView text)
{
    const QString query = tolerantText(text);
    struct Ranked
    {
        qsizetype pair;
        double dice;
        double score;
    };
    std::vector<Ranked> ranked;
    QString question;
    for (const BigramIndex::Candidate &candidate : index.closestPairs(lines, query, TolerantPool)) {
        tolerantTextInto(questionText(lines.at(2 * candidate.pair)), question);
        ranked.push_back({candidate.pair, candidate.dice, commonSubsequenceRatio(query, question)});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked &a, const Ranked &b) {
        return a.score != b.score ? a.score > b.score : a.dice > b.dice;
    });

    TolerantResult result;
    for (const Ranked &row : ranked) {
        result.Questions.append(questionText(lines.at(2 * row.pair)).toString());
        result.Answers.append(lines.at(2 * row.pair + 1).toString());
        result.Scores.append(row.score);
    }
    result.Sure = !ranked.empty() && ranked.front().score >= SureScore;
    return result;
}
