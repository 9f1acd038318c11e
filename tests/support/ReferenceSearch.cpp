#include "ReferenceSearch.h"

#include <QStringEncoder>

namespace {

// The query's length in GBK bytes, measured character by character with a
// fresh converter: a character GBK cannot hold counts as its one substitute byte.
qsizetype gbkBytes(const QString &query)
{
    qsizetype count = 0;
    for (qsizetype at = 0; at < query.size(); ++at) {
        const bool pair = query.at(at).isHighSurrogate() && at + 1 < query.size() && query.at(at + 1).isLowSurrogate();
        QStringEncoder encoder("GBK");
        const QByteArray bytes = encoder.encode(QStringView(query).mid(at, pair ? 2 : 1));
        count += encoder.hasError() || bytes.isEmpty() ? 1 : bytes.size();
        at += pair ? 1 : 0;
    }
    return count;
}

} // namespace

std::optional<SearchResult> searchQuestionsReference(const QuestionLines &lines, const QString &query)
{
    // A query is searched once it is longer than three GBK bytes.
    if (gbkBytes(query) <= 3)
        return std::nullopt;
    const QString needle = query.toLower();
    SearchResult result;
    for (qsizetype i = 0; i + 1 < lines.size() && result.HitCount < MaxHits; i += 2) {
        if (lines.at(i).contains(needle, Qt::CaseSensitive))
            result.addHit(lines.at(i), lines.at(i + 1));
    }
    result.finish();
    return result;
}
