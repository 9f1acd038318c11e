#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A display server started for one test and stopped with it: Xvfb with the
// Openbox window manager, or a headless Weston. Empty when the programs are
// not installed or do not come up; `problem` says why.
class VirtualDesktop
{
public:
    ~VirtualDesktop();

    static std::unique_ptr<VirtualDesktop> startX11WithOpenbox(QString *problem);
    static std::unique_ptr<VirtualDesktop> startHeadlessWeston(QString *problem);

    // The environment of a program that is to run on this desktop, with no
    // other display and no platform chosen.
    QProcessEnvironment environment() const { return m_environment; }

private:
    VirtualDesktop() = default;
    bool startServer(const QString &program, const QStringList &arguments);
    bool startWindowManager();
    // True when `program` run on this desktop succeeds and prints `expected`.
    bool answers(const QString &program, const QStringList &arguments, const QByteArray &expected = {}) const;

    QTemporaryDir m_runtimeDir;
    QProcessEnvironment m_environment;
    QProcess m_server;
    QProcess m_windowManager;
};
