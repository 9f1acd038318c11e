#include "BankDiff.h"

#include <QHash>

#include <algorithm>

namespace {

QString shownQuestion(const QString &line)
{
    const qsizetype dash = line.indexOf(QLatin1Char('-'));
    return dash < 0 ? line : line.first(dash);
}

BankDiff::Pair pairAt(const BankText &text, qsizetype pair)
{
    const BankText::Line &question = text.lines.at(2 * pair);
    return {shownQuestion(question.text), text.lines.at(2 * pair + 1).text, question.number};
}

} // namespace

BankDiff BankDiff::between(const BankText &older, const BankText &newer)
{
    // A question asked more than once is matched occurrence by occurrence,
    // an unchanged answer first.
    QHash<QString, QList<qsizetype>> oldPairsByQuestion;
    for (qsizetype pair = 0; pair < older.pairCount(); ++pair)
        oldPairsByQuestion[pairAt(older, pair).question].append(pair);

    BankDiff diff;
    QList<bool> oldMatched(older.pairCount(), false);
    for (qsizetype pair = 0; pair < newer.pairCount(); ++pair) {
        const Pair now = pairAt(newer, pair);
        QList<qsizetype> &candidates = oldPairsByQuestion[now.question];
        if (candidates.isEmpty()) {
            diff.added.append(now);
            continue;
        }
        auto match = std::find_if(candidates.begin(), candidates.end(),
                                  [&](qsizetype old) { return pairAt(older, old).answer == now.answer; });
        if (match == candidates.end())
            match = candidates.begin();
        const Pair before = pairAt(older, *match);
        oldMatched[*match] = true;
        candidates.erase(match);
        if (before.answer != now.answer)
            diff.changed.append({now.question, before.answer, now.answer, before.line, now.line});
    }
    for (qsizetype pair = 0; pair < older.pairCount(); ++pair) {
        if (!oldMatched.at(pair))
            diff.removed.append(pairAt(older, pair));
    }
    return diff;
}
