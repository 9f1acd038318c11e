#include "screen/RecogniserPlugin.h"

#include "platform/ProgramPlugin.h"
#include "screen/RecogniserEngine.h"

#include <QMutex>

#include <optional>

namespace RecogniserPlugin {
namespace {

const ProgramPlugin::Words Words{
    QStringLiteral("无法识别屏幕文字：找不到文字识别插件“%1”。"),
    QStringLiteral("无法识别屏幕文字：文字识别插件“%1”载入失败。"),
    QStringLiteral("无法识别屏幕文字：“%1”不是本程序的文字识别插件。"),
    "the text recogniser",
    "the screen cannot be read",
};

// The worker's thread loads it; a test may ask from its own.
QMutex loading;
std::optional<ProgramPlugin::Loaded<RecogniserEngine>> loaded;

} // namespace

QString defaultFile()
{
    return ProgramPlugin::besideProgram(RelativePath);
}

RecogniserEngine *engine()
{
    const QMutexLocker lock(&loading);
    if (!loaded)
        loaded = ProgramPlugin::load<RecogniserEngine>(defaultFile(), Words);
    return loaded->engine;
}

QString problem()
{
    const QMutexLocker lock(&loading);
    return loaded ? loaded->problem : QString();
}

} // namespace RecogniserPlugin
