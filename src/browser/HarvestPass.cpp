#include "browser/HarvestPass.h"

#include "browser/BrowserPane.h"
#include "browser/HarvestList.h"
#include "browser/LinkHarvest.h"

void HarvestLinks(BrowserPane &pane, const QString &pattern, HarvestList &list)
{
    pane.readLinks([pattern, &list](const QList<PageLink> &links) {
        for (const QString &line : HarvestLines(links, pattern))
            list.AddItem(line);
    });
}
