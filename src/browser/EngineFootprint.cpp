#include "browser/EngineFootprint.h"

#include "platform/ProgramPlugin.h"

#include <QFileInfo>
#include <QList>
#include <QLoggingCategory>

#include <array>
#include <optional>

namespace EngineFootprint {
namespace {

// Without its sandbox the engine starts each process directly; with it, it
// needs the two zygote processes that the sandbox forks from.
const QByteArray NoZygote = "--no-zygote";

const char RendererPath[] = "plugins/vellmar-renderer";

// The variables set for Qt and the engine to read, and the user's own values.
struct UserVariable
{
    const char *name;
    std::optional<QByteArray> value;
};
std::array<UserVariable, 3> userVariables{
    {{"QT_XCB_GL_INTEGRATION", {}}, {"QTWEBENGINE_CHROMIUM_FLAGS", {}}, {"QTWEBENGINEPROCESS_PATH", {}}}};

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

// Notes of what was asked for here: Qt's that it draws without OpenGL, the
// engine's that it has no graphics backend (it draws in software) and that
// its sandbox is off (said once already, in our own words, see StartUp), and
// the empty line it prints with them. Where QT_LOGGING_RULES is set, the
// engine's notes go on as before; any other message always does.
bool isNoteOfWhatWasAskedFor(QtMsgType type, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL context")))
        return true;
    if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        return false;
    // The engine ends some of its notes with a line break of their own.
    const QString note = message.trimmed();
    return note.isEmpty() || note == QLatin1String("Sandboxing disabled by user.")
        || note == QLatin1String("No suitable graphics backend found");
}

void dropNotesOfWhatWasAskedFor(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg && isNoteOfWhatWasAskedFor(type, message))
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

void drawWithoutOpenGl()
{
    saveUserVariables();
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    forwardMessage = qInstallMessageHandler(dropNotesOfWhatWasAskedFor);
}

void applyBeforeStart()
{
    // No OpenGL driver is loaded; the engine's plugin asks Qt Quick to draw
    // in software too (EngineStart).
    drawWithoutOpenGl();
    // The engine's report of its graphics set-up at every start is for
    // debugging, and so are the console messages of the pages it shows
    // ("js"), the engine's own error page's included: a start that works
    // prints nothing. QT_LOGGING_RULES, which wins over this, brings them back.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\njs=false"));
    const bool sandboxOff = !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = engineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), sandboxOff);
    if (!flags.isEmpty())
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // The engine starts its processes from our page process where it lies
    // beside the program (see RendererMain), unless the user chose another.
    const QString renderer = ProgramPlugin::besideProgram(RendererPath);
    if (!qEnvironmentVariableIsSet("QTWEBENGINEPROCESS_PATH") && QFileInfo(renderer).isExecutable())
        qputenv("QTWEBENGINEPROCESS_PATH", QFile::encodeName(renderer));
}

void giveEnvironmentBack()
{
    for (const UserVariable &variable : userVariables) {
        if (variable.value)
            qputenv(variable.name, *variable.value);
        else
            qunsetenv(variable.name);
    }
}

} // namespace EngineFootprint
