#pragma once

#include "browser/LinkMatching.h"

#include <QList>
#include <QString>
#include <QVariant>

// The script that reads the links of the document a page holds. It runs in
// an isolated world of the page, so the page's own scripts cannot change
// what it sees, and it only reads. It yields one [href, innerText] pair per
// link of document.links (the a and area elements with an href, in document
// order); a value that is not text comes back as null.
QString readLinksScript();

// The links in the script's result. Anything but a list of pairs (no
// document, a script that could not run) gives no links.
QList<PageLink> linksFromScriptResult(const QVariant &result);
