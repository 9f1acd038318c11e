#include "SwayDesktop.h"

#include "DesktopProcesses.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr int StartTimeoutMs = 20000;

// Windows where the probe places them (sway would tile or centre them), no
// borders, so that the screen's pixels are where the windows think they are.
const char *const SwayConfig = R"(output HEADLESS-1 resolution 1280x800 position 0 0
xwayland force
default_border none
default_floating_border none
for_window [class=".*"] floating enable
for_window [app_id=".*"] floating enable
for_window [title="^game$"] move position 40 420
for_window [title="^Vellmar"] move position 700 40
)";

// sway gives its DISPLAY only to its children; one of them writes it down,
// after letting root in where XWayland runs as another user.
QByteArray displayNote(bool letRootIn)
{
    return QByteArray("exec sh -c '") + (letRootIn ? "xhost +si:localuser:root >/dev/null && " : "")
        + "echo \"$DISPLAY\" > \"$XDG_RUNTIME_DIR/display.part\" && mv \"$XDG_RUNTIME_DIR/display.part\" \"$XDG_RUNTIME_DIR/display\"'\n";
}

// A session bus that starts no service: no portal answers on it.
const char *const BareBusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";


bool writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

SwayDesktop::~SwayDesktop()
{
    // The portal's processes leave with the bus, XWayland with sway.
    stop(m_pipeWire);
    stop(m_bus);
    stop(m_sway);
}

QString SwayDesktop::lastLines(const QString &logName) const
{
    QFile log(m_runtimeDir.filePath(logName));
    if (!log.open(QIODevice::ReadOnly))
        return QStringLiteral("(no log)");
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    return QString::fromUtf8(lines.mid(std::max<qsizetype>(0, lines.size() - 3)).join(" / "));
}

std::unique_ptr<SwayDesktop> SwayDesktop::start(Portal portal, QString *problem)
{
    QStringList needed{QStringLiteral("sway"), QStringLiteral("Xwayland"), QStringLiteral("dbus-daemon")};
    if (portal == Portal::Offered)
        needed << QStringLiteral("xdg-desktop-portal") << QStringLiteral("xdg-desktop-portal-wlr")
               << QStringLiteral("xdg-desktop-portal-gtk") << QStringLiteral("pipewire") << QStringLiteral("grim");
    if (::geteuid() == 0)
        needed << QStringLiteral("setpriv") << QStringLiteral("xhost");
    for (const QString &program : needed)
        if (!installed(program, problem))
            return nullptr;
    std::unique_ptr<SwayDesktop> desktop(new SwayDesktop);
    if (!desktop->m_runtimeDir.isValid() || !desktop->m_home.isValid()) {
        *problem = QStringLiteral("no temporary folders for the Wayland session");
        return nullptr;
    }
    if (!desktop->startSway(problem) || !desktop->startBus(portal, problem))
        return nullptr;
    if (portal == Portal::Offered && !desktop->startPipeWire(problem))
        return nullptr;
    return desktop;
}

// sway refuses to run as root (it could not drop the rights again), so on a
// build machine that runs as root it runs as nobody, in a runtime folder
// nobody owns; root still reaches its Wayland socket, and XWayland lets it in.
bool SwayDesktop::startSway(QString *problem)
{
    const QString runtime = m_runtimeDir.path();
    QStringList command{QStringLiteral("sway"), QStringLiteral("-c"), m_runtimeDir.filePath(QStringLiteral("sway.conf"))};
    if (::geteuid() == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody || ::chown(QFile::encodeName(runtime).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            *problem = QStringLiteral("sway refuses to run as root, and the runtime folder cannot be given to nobody");
            return false;
        }
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                              QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups")}
            + command;
    }
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!writeFile(m_runtimeDir.filePath(QStringLiteral("sway.conf")), SwayConfig + displayNote(::geteuid() == 0))) {
        *problem = QStringLiteral("cannot write sway's configuration");
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "DBUS_SESSION_BUS_ADDRESS",
                             "XDG_CURRENT_DESKTOP", "SWAYSOCK"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("HOME"), runtime);
    // No graphics card and no input devices on a build machine.
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    m_sway.setProcessEnvironment(environment);
    m_sway.setStandardOutputFile(QProcess::nullDevice());
    m_sway.setStandardErrorFile(m_runtimeDir.filePath(QStringLiteral("sway.log")));
    m_sway.start(command.takeFirst(), command);
    QString socket;
    const bool up = m_sway.waitForStarted(StartTimeoutMs) && waitFor([&] {
        if (m_sway.state() == QProcess::NotRunning)
            return true;
        const QStringList sockets = QDir(runtime).entryList({QStringLiteral("wayland-*")}, QDir::System);
        for (const QString &name : sockets)
            if (!name.endsWith(QLatin1String(".lock")))
                socket = name;
        return !socket.isEmpty() && QFile::exists(m_runtimeDir.filePath(QStringLiteral("display")));
    }, StartTimeoutMs);
    if (!up || m_sway.state() == QProcess::NotRunning) {
        *problem = QStringLiteral("sway did not start: ") + lastLines(QStringLiteral("sway.log"));
        return false;
    }
    QFile display(m_runtimeDir.filePath(QStringLiteral("display")));
    display.open(QIODevice::ReadOnly);
    m_environment = environment;
    for (const char *name : {"WLR_BACKENDS", "WLR_LIBINPUT_NO_DEVICES", "WLR_RENDERER"})
        m_environment.remove(QLatin1String(name));
    m_environment.insert(QStringLiteral("HOME"), m_home.path());
    m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    m_environment.insert(QStringLiteral("DISPLAY"), QString::fromUtf8(display.readAll().trimmed()));
    m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    // xdg-desktop-portal 1.16 picks the backend whose UseIn names this desktop.
    m_environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("sway"));
    return true;
}

// The bus starts the portal with its own environment, which is the session's.
bool SwayDesktop::startBus(Portal portal, QString *problem)
{
    QStringList arguments{QStringLiteral("--nofork"), QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")};
    // The portal's own folder of backends, empty.
    const QString noBackends = m_home.filePath(QStringLiteral("no-portal-backends"));
    if (portal != Portal::Absent) {
        arguments << QStringLiteral("--session");
    } else {
        const QString config = m_home.filePath(QStringLiteral("bare-bus.conf"));
        if (!writeFile(config, BareBusConfig)) {
            *problem = QStringLiteral("cannot write the bus's configuration");
            return false;
        }
        arguments << QStringLiteral("--config-file=") + config;
    }
    // The portal's GTK backend would start an accessibility bus of its own.
    QProcessEnvironment busEnvironment = m_environment;
    busEnvironment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    busEnvironment.insert(QStringLiteral("GTK_A11Y"), QStringLiteral("none"));
    if (portal == Portal::WithoutBackends && QDir().mkpath(noBackends))
        busEnvironment.insert(QStringLiteral("XDG_DESKTOP_PORTAL_DIR"), noBackends);
    m_bus.setProcessEnvironment(busEnvironment);
    m_bus.setStandardErrorFile(m_runtimeDir.filePath(QStringLiteral("bus.log")));
    m_bus.start(QStringLiteral("dbus-daemon"), arguments);
    QDeadlineTimer deadline(StartTimeoutMs);
    const bool started = m_bus.waitForStarted(StartTimeoutMs);
    while (started && !m_bus.canReadLine() && !deadline.hasExpired() && m_bus.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    if (!m_bus.canReadLine()) {
        *problem = QStringLiteral("dbus-daemon did not start: ") + lastLines(QStringLiteral("bus.log"));
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(m_bus.readLine().trimmed()));
    return true;
}

bool SwayDesktop::startPipeWire(QString *problem)
{
    m_pipeWire.setProcessEnvironment(m_environment);
    m_pipeWire.setStandardOutputFile(QProcess::nullDevice());
    m_pipeWire.setStandardErrorFile(m_runtimeDir.filePath(QStringLiteral("pipewire.log")));
    m_pipeWire.start(QStringLiteral("pipewire"), {});
    const QString socket = m_runtimeDir.filePath(QStringLiteral("pipewire-0"));
    if (!m_pipeWire.waitForStarted(StartTimeoutMs)
        || !waitFor([&] { return QFile::exists(socket) || m_pipeWire.state() == QProcess::NotRunning; }, StartTimeoutMs)
        || m_pipeWire.state() == QProcess::NotRunning) {
        *problem = QStringLiteral("PipeWire did not start: ") + lastLines(QStringLiteral("pipewire.log"));
        return false;
    }
    return true;
}
