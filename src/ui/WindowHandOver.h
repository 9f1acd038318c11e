#pragma once

#include <QLocalServer>
#include <QString>

#include <optional>

class Form1;
class QLocalSocket;
struct ProgramOptions;

// One window per user and display. A later start hands its request to the
// window already running (raise it and focus the query box, or a bank given
// with --bank or --install-bank) and ends; the running window listens on a
// local socket in the user's runtime folder. A socket left by a window that
// crashed answers nobody, and the next window takes its place.
class WindowHandOver : public QLocalServer
{
    Q_OBJECT

public:
    // The exit status when a running window took the request (0, or 1 with
    // its refusal printed on stderr); nothing when no window is running.
    static std::optional<int> handToRunningWindow(const ProgramOptions &options);

    // Listens for later starts, on behalf of `form`.
    explicit WindowHandOver(Form1 &form);

private:
    static QString socketName();
    void answer(QLocalSocket *socket);
    QString carryOut(const QString &request);

    Form1 &m_form;
};
