#include "screen/RecogniserPlugin.h"

#include "screen/RecogniserEngine.h"

#include <QFileInfo>
#include <QMutex>
#include <QPluginLoader>

#include <cstdio>
#include <optional>

namespace RecogniserPlugin {
namespace {

struct Loaded
{
    RecogniserEngine *engine = nullptr;
    QString problem;
};

// The worker's thread loads it; a test may ask from its own.
QMutex loading;
std::optional<Loaded> loaded;

Loaded refuse(const QString &tipLine, const QString &file, const QString &cause)
{
    std::fprintf(stderr, "vellmar-quiz: the text recogniser cannot be loaded from %s: %s; the screen cannot be read\n",
                 qUtf8Printable(file), qUtf8Printable(cause));
    return {nullptr, tipLine.arg(file)};
}

Loaded load(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return refuse(QStringLiteral("无法识别屏幕文字：找不到文字识别插件“%1”。"), file, QStringLiteral("no such file"));
    QPluginLoader loader(file);
    QObject *instance = loader.instance();
    if (!instance)
        return refuse(QStringLiteral("无法识别屏幕文字：文字识别插件“%1”载入失败。"), file, loader.errorString());
    auto *engine = qobject_cast<RecogniserEngine *>(instance);
    if (!engine)
        return refuse(QStringLiteral("无法识别屏幕文字：“%1”不是本程序的文字识别插件。"), file,
                      QStringLiteral("it is not the text recogniser's plugin"));
    return {engine, {}};
}

} // namespace

QString defaultFile()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QLatin1Char('/') + QLatin1String(RelativePath);
}

RecogniserEngine *engine()
{
    const QMutexLocker lock(&loading);
    if (!loaded)
        loaded = load(defaultFile());
    return loaded->engine;
}

QString problem()
{
    const QMutexLocker lock(&loading);
    return loaded ? loaded->problem : QString();
}

} // namespace RecogniserPlugin
