#include "ui/BrowserPlugin.h"

#include "browser/BrowserEngine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPluginLoader>

#include <cstdio>
#include <optional>

namespace BrowserPlugin {
namespace {

struct Loaded
{
    BrowserEngine *engine = nullptr;
    QString problem;
};

std::optional<Loaded> loaded;

Loaded refuse(const QString &tabLine, const QString &file, const QString &cause)
{
    std::fprintf(stderr, "vellmar-quiz: the browser pane cannot be loaded from %s: %s; the window runs without it\n",
                 qUtf8Printable(file), qUtf8Printable(cause));
    return {nullptr, tabLine.arg(file)};
}

Loaded load(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return refuse(QStringLiteral("资料站的浏览器无法打开：找不到浏览器插件“%1”。"), file, QStringLiteral("no such file"));
    QPluginLoader loader(file);
    QObject *instance = loader.instance();
    if (!instance)
        return refuse(QStringLiteral("资料站的浏览器无法打开：浏览器插件“%1”载入失败。"), file, loader.errorString());
    auto *engine = qobject_cast<BrowserEngine *>(instance);
    if (!engine)
        return refuse(QStringLiteral("资料站的浏览器无法打开：“%1”不是本程序的浏览器插件。"), file,
                      QStringLiteral("it is not the browser pane's plugin"));
    return {engine, {}};
}

} // namespace

// The application object may not exist yet, so Qt cannot be asked for the
// program's path; the system's link to the running program is what Qt reads too.
QString defaultFile()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QLatin1Char('/') + QLatin1String(RelativePath);
}

BrowserEngine *engine()
{
    // Loaded later, the engine misses its start-up step and fails at its
    // first page; that is a fault of the program, named here.
    if (!loaded && QCoreApplication::instance())
        qFatal("The browser pane's plugin is loaded before the application object exists (StartUp::prepareBrowser)");
    if (!loaded)
        loaded = load(defaultFile());
    return loaded->engine;
}

QString problem()
{
    return loaded ? loaded->problem : QString();
}

} // namespace BrowserPlugin
