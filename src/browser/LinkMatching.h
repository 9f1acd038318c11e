#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One link of a document as the harvest reads it. The document may report
// either value as missing (Null).
struct PageLink
{
    std::optional<QString> href;
    std::optional<QString> text;

    bool operator==(const PageLink &) const = default;
};

// "链接地址是" + href + " 链接的文字是 <" + text + ">".
QString harvestLine(const QString &href, const QString &text);

// True when the address contains the pattern in any letter case.
// A missing address never matches.
bool linkMatches(const PageLink &link, const QString &pattern);

// The lines of one harvest pass: one per matching link, in the links' order,
// duplicates kept. A missing text counts as empty.
QStringList harvestLines(const QList<PageLink> &links, const QString &pattern);
