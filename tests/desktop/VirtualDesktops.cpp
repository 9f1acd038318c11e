#include "VirtualDesktops.h"

#include "DesktopProcesses.h"

#include <QCoreApplication>
#include <QFile>

namespace {

constexpr int StartTimeoutMs = 15000;

QProcessEnvironment withoutDisplays()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QLatin1String(name));
    return environment;
}


// An X display number no server on this machine holds.
int freeDisplayNumber()
{
    for (int number = 40 + int(QCoreApplication::applicationPid() % 200);; ++number) {
        if (!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))
            && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            return number;
    }
}

} // namespace

VirtualDesktop::~VirtualDesktop()
{
    stop(m_windowManager);
    stop(m_server);
}

bool VirtualDesktop::startServer(const QString &program, const QStringList &arguments)
{
    m_server.setProcessEnvironment(m_environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.setStandardOutputFile(QProcess::nullDevice());
    m_server.start(program, arguments);
    return m_server.waitForStarted(StartTimeoutMs);
}

std::unique_ptr<VirtualDesktop> VirtualDesktop::startX11WithOpenbox(QString *problem)
{
    for (const char *program : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "wmctrl", "xmessage"})
        if (!installed(QLatin1String(program), problem))
            return nullptr;
    std::unique_ptr<VirtualDesktop> desktop(new VirtualDesktop);
    const int number = freeDisplayNumber();
    const QString display = QStringLiteral(":%1").arg(number);
    desktop->m_environment = withoutDisplays();
    desktop->m_environment.insert(QStringLiteral("DISPLAY"), display);
    if (!desktop->startServer(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                                       QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                                                       QStringLiteral("tcp")})
        || !waitFor([&] { return desktop->answers(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-len"),
                                                                             QStringLiteral("0"), QStringLiteral("_NET_SUPPORTED")}); }, StartTimeoutMs)) {
        *problem = QStringLiteral("Xvfb did not start on %1").arg(display);
        return nullptr;
    }
    if (!desktop->startWindowManager()) {
        *problem = QStringLiteral("Openbox did not take over %1").arg(display);
        return nullptr;
    }
    return desktop;
}

// Openbox announces itself on the root window once it manages the display.
bool VirtualDesktop::startWindowManager()
{
    m_windowManager.setProcessEnvironment(m_environment);
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.setStandardOutputFile(QProcess::nullDevice());
    m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!m_windowManager.waitForStarted(StartTimeoutMs))
        return false;
    return waitFor([&] {
        return answers(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                       "window id");
    }, StartTimeoutMs);
}

bool VirtualDesktop::answers(const QString &program, const QStringList &arguments, const QByteArray &expected) const
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        && process.readAllStandardOutput().contains(expected);
}

std::unique_ptr<VirtualDesktop> VirtualDesktop::startHeadlessWeston(QString *problem)
{
    if (!installed(QStringLiteral("weston"), problem))
        return nullptr;
    std::unique_ptr<VirtualDesktop> desktop(new VirtualDesktop);
    if (!desktop->m_runtimeDir.isValid()) {
        *problem = QStringLiteral("no runtime folder for Weston");
        return nullptr;
    }
    QFile::setPermissions(desktop->m_runtimeDir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString socket = QStringLiteral("vellmar-test-%1").arg(QCoreApplication::applicationPid());
    desktop->m_environment = withoutDisplays();
    desktop->m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), desktop->m_runtimeDir.path());
    desktop->m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    if (!desktop->startServer(QStringLiteral("weston"),
                              {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socket,
                               QStringLiteral("--idle-time=0")})
        || !waitFor([&] { return QFile::exists(desktop->m_runtimeDir.filePath(socket)); }, StartTimeoutMs)) {
        *problem = QStringLiteral("Weston did not start");
        return nullptr;
    }
    return desktop;
}
