#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

class Form1;
struct ProgramOptions;

// One window per user and display. A later start hands its request to the
// window already running (raise it and focus the query box, or a bank given
// with --bank or --install-bank) and ends; the running window listens on a
// local socket in the user's runtime folder. A socket left by a window that
// crashed answers nobody, and the next window takes its place.
class WindowHandOver : public QObject
{
    Q_OBJECT

public:
    // The exit status when a running window took the request (0, or 1 with
    // its refusal printed on stderr); nothing when no window is running.
    static std::optional<int> handToRunningWindow(const ProgramOptions &options);

    // Listens for later starts, on behalf of `form`.
    explicit WindowHandOver(Form1 &form);
    ~WindowHandOver() override;

private:
    static QString socketName();
    void takeConnections();
    bool answerWhenWhole(int connection, QByteArray &received);
    QString carryOut(const QString &request);

    Form1 &m_form;
    std::optional<int> m_listening;
};
