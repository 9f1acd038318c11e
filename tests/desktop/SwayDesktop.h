#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A Wayland session started for one test and stopped with it: a headless
// sway with XWayland, a private session bus, and, where asked for, the
// desktop portal on that bus (xdg-desktop-portal with its wlroots backend,
// started by the bus when first called, and PipeWire, without which that
// backend does not start). Empty when a piece is not installed or does not
// come up; `problem` says which and why.
class SwayDesktop
{
public:
    // The portal with its backends; the portal with no backend, so without
    // Screenshot; no portal on the bus at all.
    enum class Portal { Offered, WithoutBackends, Absent };

    ~SwayDesktop();

    static std::unique_ptr<SwayDesktop> start(Portal portal, QString *problem);

    // The environment of a program in this session: WAYLAND_DISPLAY, the
    // XWayland DISPLAY, the session bus, no platform chosen.
    QProcessEnvironment environment() const { return m_environment; }
    // The last lines the bus and the services it started wrote.
    QString busLog() const { return lastLines(QStringLiteral("bus.log")); }

private:
    SwayDesktop() = default;
    bool startSway(QString *problem);
    bool startBus(Portal portal, QString *problem);
    bool startPipeWire(QString *problem);
    QString lastLines(const QString &logName) const;

    QTemporaryDir m_runtimeDir;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_sway;
    QProcess m_bus;
    QProcess m_pipeWire;
};
