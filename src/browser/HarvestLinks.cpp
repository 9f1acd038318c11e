#include "browser/HarvestLinks.h"

#include "browser/BrowserPane.h"
#include "browser/LinkRows.h"
#include "browser/LinkMatching.h"

void harvestLinks(BrowserPane &pane, const QString &pattern, LinkRows &list)
{
    pane.readLinks([pattern, &list](const QList<PageLink> &links) {
        for (const QString &line : harvestLines(links, pattern))
            list.AddItem(line);
    });
}
