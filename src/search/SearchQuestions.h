#pragma once

#include "bank/QuestionLines.h"

#include <QString>
#include <QStringList>

#include <optional>

// A query is searched only when it is longer than this in GBK bytes.
inline constexpr int QueryByteThreshold = 3;
// The scan ends at this many hits.
inline constexpr int MaxHits = 20;

struct SearchResult
{
    QStringList Questions; // the text of each hit's question line before its first "-"
    QStringList Answers;   // the answer line of each hit, whole
    int HitCount = 0;
    QString StatusText;

    bool operator==(const SearchResult &) const = default;
};

// Finds the question lines that contain the lower-cased query, in bank order,
// up to MaxHits. No result when the query has QueryByteThreshold bytes or fewer.
std::optional<SearchResult> SearchQuestions(const QuestionLines &lines, const QString &query);

// "查找到N条", or "未查询到先关问题" when nothing matched.
QString StatusTextFor(int hitCount);

// The text a question line shows: everything before its first "-".
QStringView QuestionText(QStringView questionLine);
