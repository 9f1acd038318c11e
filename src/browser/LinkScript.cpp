#include "browser/LinkScript.h"

namespace {

std::optional<QString> textOf(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

} // namespace

QString readLinksScript()
{
    return QStringLiteral(R"JS(
(function () {
    function textOrNull(value) {
        return typeof value === 'string' ? value : null;
    }
    var pairs = [];
    var links = document.links;
    for (var i = 0; i < links.length; ++i)
        pairs.push([textOrNull(links[i].href), textOrNull(links[i].innerText)]);
    return pairs;
})()
)JS");
}

QList<PageLink> linksFromScriptResult(const QVariant &result)
{
    QList<PageLink> links;
    if (result.typeId() != QMetaType::QVariantList)
        return links;
    for (const QVariant &item : result.toList()) {
        const QVariantList pair = item.toList();
        if (pair.size() == 2)
            links << PageLink{textOf(pair[0]), textOf(pair[1])};
    }
    return links;
}
