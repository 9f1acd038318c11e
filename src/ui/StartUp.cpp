#include "ui/StartUp.h"

#include "bank/BankReader.h"
#include "ui/Form1.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>
#include <xcb/xcb.h>

namespace StartUp {
namespace {

bool hasEnvironmentVariable(const char *name)
{
    return !qEnvironmentVariableIsEmpty(name);
}

// Qt opens X when it is asked for xcb, or by default unless a Wayland session is there.
bool windowOpensOnX()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return platform.startsWith("xcb");
    const bool waylandSession = hasEnvironmentVariable("WAYLAND_DISPLAY") && qgetenv("XDG_SESSION_TYPE") == "wayland";
    return hasEnvironmentVariable("DISPLAY") && !waylandSession;
}

QString xConnectionProblem(int error)
{
    switch (error) {
    case XCB_CONN_CLOSED_PARSE_ERR:
        return QStringLiteral("this is not the name of a display");
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return QStringLiteral("the display has no such screen");
    case XCB_CONN_ERROR:
        return QStringLiteral("its X server cannot be reached or refused the connection");
    default:
        return QStringLiteral("the connection to its X server failed (xcb error %1)").arg(error);
    }
}

bool loadBank(Form1 &form, const QString &bankPath, QString &error)
{
    BankReader reader;
    QuestionLines lines;
    if (!reader.readQuestionLines(bankPath, lines)) {
        error = reader.errorString();
        return false;
    }
    form.setQuestionLines(std::move(lines));
    return true;
}

} // namespace

bool displayAvailable()
{
    return hasEnvironmentVariable("DISPLAY") || hasEnvironmentVariable("WAYLAND_DISPLAY")
        || hasEnvironmentVariable("QT_QPA_PLATFORM");
}

XDisplayProbe::XDisplayProbe()
{
    if (!windowOpensOnX())
        return;
    const QByteArray display = qgetenv("DISPLAY");
    m_connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    if (const int error = xcb_connection_has_error(m_connection)) {
        m_problem = QStringLiteral("cannot open the display \"%1\": %2").arg(QString::fromLocal8Bit(display), xConnectionProblem(error));
        release();
    }
}

XDisplayProbe::~XDisplayProbe()
{
    release();
}

void XDisplayProbe::release()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}

void allowBrowserWithoutSandboxWhenRoot()
{
    if (geteuid() != 0)
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("vellmar-quiz: warning: running as root, so web pages run without the browser's sandbox\n", stderr);
}

// The tab panel is part of Qt, so nothing has to be registered before the window is made.
bool run(Form1 &form, const QString &bankPath, QString &error)
{
    form.startBrowserNavigation();
    form.showCentred();
    form.makeTopmost();
    form.setFocusOrder();
    form.showStartTip();
    QCoreApplication::processEvents();
    return loadBank(form, bankPath, error);
}

QString failureMessage(const QString &error)
{
    return QStringLiteral("题库载入失败，Vellmar答题器无法启动。\n\n%1").arg(error);
}

} // namespace StartUp
