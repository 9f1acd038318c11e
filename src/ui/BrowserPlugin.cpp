#include "ui/BrowserPlugin.h"

#include "browser/BrowserEngine.h"
#include "platform/ProgramPlugin.h"

#include <QCoreApplication>

#include <optional>

namespace BrowserPlugin {
namespace {

const ProgramPlugin::Words Words{
    QStringLiteral("资料站的浏览器无法打开：找不到浏览器插件“%1”。"),
    QStringLiteral("资料站的浏览器无法打开：浏览器插件“%1”载入失败。"),
    QStringLiteral("资料站的浏览器无法打开：“%1”不是本程序的浏览器插件。"),
    "the browser pane",
    "the window runs without it",
};

std::optional<ProgramPlugin::Loaded<BrowserEngine>> loaded;

} // namespace

QString defaultFile()
{
    return ProgramPlugin::besideProgram(RelativePath);
}

BrowserEngine *engine()
{
    // Loaded later, the engine misses its start-up step and fails at its
    // first page; that is a fault of the program, named here.
    if (!loaded && QCoreApplication::instance())
        qFatal("The browser pane's plugin is loaded before the application object exists (StartUp::prepareBrowser)");
    if (!loaded)
        loaded = ProgramPlugin::load<BrowserEngine>(defaultFile(), Words);
    return loaded->engine;
}

QString problem()
{
    return loaded ? loaded->problem : QString();
}

} // namespace BrowserPlugin
