#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What every search of the question lines shares: the result it gives, its
// limits, and how a query becomes the text that is looked for.

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

    // Appends one hit and counts it.
    void addHit(QStringView questionLine, QStringView answerLine);
    // Sets the status text for the hits found.
    void finish();
};

// The text looked for in the question lines: the query lower-cased. None when
// the query has QueryByteThreshold GBK bytes or fewer, and so is not searched.
std::optional<QString> searchNeedle(const QString &query);

// "查找到N条", or "未查询到先关问题" when nothing matched.
QString statusTextFor(int hitCount);

// The text a question line shows: everything before its first "-".
QStringView questionText(QStringView questionLine);
