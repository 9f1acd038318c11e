#include "browser/LinkHarvest.h"

QString HarvestLine(const QString &href, const QString &text)
{
    return QStringLiteral("链接地址是") + href + QStringLiteral(" 链接的文字是 <") + text + QLatin1Char('>');
}

bool LinkMatches(const PageLink &link, const QString &pattern)
{
    return link.Href && link.Href->contains(pattern, Qt::CaseInsensitive);
}

QStringList HarvestLines(const QList<PageLink> &links, const QString &pattern)
{
    QStringList lines;
    for (const PageLink &link : links) {
        if (LinkMatches(link, pattern))
            lines << HarvestLine(*link.Href, link.Text.value_or(QString()));
    }
    return lines;
}
