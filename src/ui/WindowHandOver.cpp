#include "ui/WindowHandOver.h"

#include "ui/Form1.h"
#include "ui/PlayerBank.h"
#include "platform/LocalSocket.h"
#include "ui/ProgramOptions.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cstdio>

namespace {

// A bank handed over loads in the running window before it answers.
constexpr int AnswerTimeoutMs = 120000;
const QString Ok = QStringLiteral("ok");

QString requestFor(const ProgramOptions &options)
{
    if (!options.installBank.isEmpty())
        return QStringLiteral("install\t") + QFileInfo(options.installBank).absoluteFilePath();
    if (!options.bank.isEmpty())
        return QStringLiteral("bank\t") + QFileInfo(options.bank).absoluteFilePath();
    return QStringLiteral("raise");
}

} // namespace

// Per user (the runtime folder is the user's own) and per display.
QString WindowHandOver::socketName()
{
    const QByteArray display = qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("DISPLAY");
    const QByteArray tag = QCryptographicHash::hash(display, QCryptographicHash::Sha1).toHex().left(12);
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/vellmar-quiz-")
        + QString::fromLatin1(tag);
}

// A connection is taken at once or refused (no one listens, or only a
// crashed window's socket is left).
std::optional<int> WindowHandOver::handToRunningWindow(const ProgramOptions &options)
{
    const std::optional<int> connection = LocalSocket::connectTo(socketName());
    if (!connection)
        return std::nullopt;
    QByteArray reply;
    if (LocalSocket::writeAll(*connection, requestFor(options).toUtf8() + '\n')) {
        while (!reply.endsWith('\n')) {
            const QByteArray more = LocalSocket::readSome(*connection, AnswerTimeoutMs);
            if (more.isEmpty())
                break;
            reply += more;
        }
    }
    LocalSocket::close(*connection);
    const QString answer = QString::fromUtf8(reply).trimmed();
    if (answer == Ok)
        return 0;
    std::fprintf(stderr, "vellmar-quiz: %s\n",
                 qUtf8Printable(answer.isEmpty() ? QStringLiteral("the running window did not answer") : answer));
    return 1;
}

// No window answered on the socket, so one found there is a crashed
// window's, and it is replaced.
WindowHandOver::WindowHandOver(Form1 &form)
    : QObject(&form)
    , m_form(form)
    , m_listening(LocalSocket::listenAt(socketName()))
{
    if (!m_listening)
        return;
    auto *waiting = new QSocketNotifier(*m_listening, QSocketNotifier::Read, this);
    connect(waiting, &QSocketNotifier::activated, this, &WindowHandOver::takeConnections);
}

WindowHandOver::~WindowHandOver()
{
    if (m_listening)
        LocalSocket::stopListening(*m_listening, socketName());
}

// Each later start sends one line and waits for the one line answering it.
void WindowHandOver::takeConnections()
{
    while (const std::optional<int> connection = LocalSocket::accept(*m_listening)) {
        auto *readable = new QSocketNotifier(*connection, QSocketNotifier::Read, this);
        connect(readable, &QSocketNotifier::activated, readable, [this, readable, received = QByteArray()]() mutable {
            if (!answerWhenWhole(int(readable->socket()), received))
                return;
            LocalSocket::close(int(readable->socket()));
            readable->setEnabled(false);
            readable->deleteLater();
        });
    }
}

// True once the connection is done with: its line answered, or the other
// side gone before the line was whole.
bool WindowHandOver::answerWhenWhole(int connection, QByteArray &received)
{
    const QByteArray more = LocalSocket::readSome(connection, 0);
    if (more.isEmpty())
        return true;
    received += more;
    const qsizetype end = received.indexOf('\n');
    if (end < 0)
        return false;
    const QString request = QString::fromUtf8(received.left(end)).trimmed();
    LocalSocket::writeAll(connection, carryOut(request).toUtf8() + '\n');
    return true;
}

QString WindowHandOver::carryOut(const QString &request)
{
    const QString file = request.section(u'\t', 1);
    QString error;
    if (request.startsWith(QLatin1String("install\t"))) {
        if (!m_form.installBank(file, error))
            return error;
    } else if (request.startsWith(QLatin1String("bank\t"))) {
        PlayerBank::LoadedBank bank;
        if (!PlayerBank::load(file, bank, error))
            return error;
        const qsizetype pairs = bank.lines.pairCount();
        m_form.useBank(std::move(bank), QStringLiteral("已换用题库：%1道题").arg(pairs));
    }
    m_form.showNormal();
    m_form.raise();
    m_form.activateWindow();
    m_form.tQ()->setFocus(Qt::OtherFocusReason);
    return Ok;
}
