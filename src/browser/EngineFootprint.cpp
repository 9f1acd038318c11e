#include "browser/EngineFootprint.h"

#include <QList>

namespace EngineFootprint {
namespace {

// Without its sandbox the engine starts each process directly; with it, it
// needs the two zygote processes that the sandbox forks from.
const QByteArray NoZygote = "--no-zygote";

QByteArray switchName(const QByteArray &flag)
{
    const qsizetype equals = flag.indexOf('=');
    return equals < 0 ? flag : flag.left(equals);
}

bool hasSwitch(const QByteArrayList &flags, const QByteArray &name)
{
    for (const QByteArray &flag : flags) {
        if (switchName(flag) == name)
            return true;
    }
    return false;
}

void setUnlessUserDid(const char *name, const QByteArray &value)
{
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}

} // namespace

QByteArray engineFlags(const QByteArray &userFlags, bool sandboxOff)
{
    const QByteArray user = userFlags.simplified();
    QByteArrayList flags;
    if (!user.isEmpty())
        flags = user.split(' ');
    if ((sandboxOff || hasSwitch(flags, "--no-sandbox")) && !hasSwitch(flags, NoZygote))
        flags.append(NoZygote);
    return flags.join(' ');
}

void applyBeforeStart()
{
    // Qt's side of the pane draws in software, and so, following it, does
    // the engine: no OpenGL driver is loaded, which in software rendering
    // alone costs tens of megabytes, and no GPU thread runs.
    setUnlessUserDid("QT_QUICK_BACKEND", "software");
    setUnlessUserDid("QT_XCB_GL_INTEGRATION", "none");
    const bool sandboxOff = !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = engineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), sandboxOff);
    if (!flags.isEmpty())
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace EngineFootprint
