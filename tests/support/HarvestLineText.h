#pragma once

#include <QString>

// The line the harvest keeps for a link, written out here apart from the
// code that makes it.
inline QString harvestLineText(const QString &href, const QString &text)
{
    return QStringLiteral("链接地址是%1 链接的文字是 <%2>").arg(href, text);
}
