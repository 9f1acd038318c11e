#include "browser/HarvestLinks.h"

#include "browser/LinkMatching.h"
#include "browser/LinkRows.h"
#include "browser/WebPane.h"

void harvestLinks(WebPane &pane, const QString &pattern, LinkRows &list)
{
    pane.readLinks([pattern, &list](const QList<PageLink> &links) {
        for (const QString &line : harvestLines(links, pattern))
            list.AddItem(line);
    });
}
