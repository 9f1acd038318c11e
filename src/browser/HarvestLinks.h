#pragma once

#include <QString>

class WebPane;
class LinkRows;

// One pass of the link harvest: reads the links of the document the pane
// holds now and, once they arrive, appends the line of every link whose
// address contains the pattern to the list, all together and in document
// order. The list must stay alive while the pane can still run event-loop
// work; passes still under way when the pane is destroyed are dropped, so
// keeping both in the window is enough.
void harvestLinks(WebPane &pane, const QString &pattern, LinkRows &list);
