#include "browser/EngineFootprint.h"

#include <QList>
#include <QLoggingCategory>
#include <QQuickWindow>
#include <QWebEngineProfile>

#include <array>
#include <optional>

namespace EngineFootprint {
namespace {

// Without its sandbox the engine starts each process directly; with it, it
// needs the two zygote processes that the sandbox forks from.
const QByteArray NoZygote = "--no-zygote";

// The variables set for Qt and the engine to read, and the user's own values.
struct UserVariable
{
    const char *name;
    std::optional<QByteArray> value;
};
std::array<UserVariable, 2> userVariables{{{"QT_XCB_GL_INTEGRATION", {}}, {"QTWEBENGINE_CHROMIUM_FLAGS", {}}}};

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

QtMessageHandler forwardMessage = nullptr;

// Qt notes on stderr that it draws without OpenGL, which is what was asked
// for here; any other message goes on as before.
void dropNoteOfOpenGlOff(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL context")))
        return;
    forwardMessage(type, context, message);
}

void saveUserVariables()
{
    for (UserVariable &variable : userVariables) {
        variable.value.reset();
        if (qEnvironmentVariableIsSet(variable.name))
            variable.value = qgetenv(variable.name);
    }
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
    saveUserVariables();
    // Qt's side of the pane draws in software, and so, following it, does
    // the engine: no OpenGL driver is loaded (in software rendering that
    // alone costs tens of megabytes), and no GPU thread runs.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
        forwardMessage = qInstallMessageHandler(dropNoteOfOpenGlOff);
    }
    // The engine's report of its graphics set-up at every start is for
    // debugging; QT_LOGGING_RULES, which wins over this, brings it back.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    const bool sandboxOff = !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = engineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), sandboxOff);
    if (!flags.isEmpty())
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

void startEngine()
{
    QWebEngineProfile::defaultProfile();
    for (const UserVariable &variable : userVariables) {
        if (variable.value)
            qputenv(variable.name, *variable.value);
        else
            qunsetenv(variable.name);
    }
}

} // namespace EngineFootprint
