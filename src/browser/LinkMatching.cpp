#include "browser/LinkMatching.h"

QString harvestLine(const QString &href, const QString &text)
{
    return QStringLiteral("链接地址是") + href + QStringLiteral(" 链接的文字是 <") + text + QLatin1Char('>');
}

bool linkMatches(const PageLink &link, const QString &pattern)
{
    return link.href && link.href->contains(pattern, Qt::CaseInsensitive);
}

QStringList harvestLines(const QList<PageLink> &links, const QString &pattern)
{
    QStringList lines;
    for (const PageLink &link : links) {
        if (linkMatches(link, pattern))
            lines << harvestLine(*link.href, link.text.value_or(QString()));
    }
    return lines;
}
