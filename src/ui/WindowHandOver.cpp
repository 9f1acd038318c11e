#include "ui/WindowHandOver.h"

#include "ui/Form1.h"
#include "ui/PlayerBank.h"
#include "ui/ProgramOptions.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cstdio>

namespace {

constexpr int ConnectTimeoutMs = 1000;
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

std::optional<int> WindowHandOver::handToRunningWindow(const ProgramOptions &options)
{
    QLocalSocket socket;
    socket.connectToServer(socketName());
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return std::nullopt;
    socket.write(requestFor(options).toUtf8() + '\n');
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(AnswerTimeoutMs))
        reply += socket.readAll();
    const QString answer = QString::fromUtf8(reply).trimmed();
    if (answer == Ok)
        return 0;
    std::fprintf(stderr, "vellmar-quiz: %s\n",
                 qUtf8Printable(answer.isEmpty() ? QStringLiteral("the running window did not answer") : answer));
    return 1;
}

WindowHandOver::WindowHandOver(Form1 &form)
    : QLocalServer(&form)
    , m_form(form)
{
    setSocketOptions(QLocalServer::UserAccessOption);
    // No window answered on it, so a socket there is a crashed window's.
    if (!listen(socketName()) && serverError() == QAbstractSocket::AddressInUseError) {
        removeServer(socketName());
        listen(socketName());
    }
    connect(this, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
}

void WindowHandOver::answer(QLocalSocket *socket)
{
    if (!socket->canReadLine())
        return;
    const QString request = QString::fromUtf8(socket->readLine()).trimmed();
    socket->write(carryOut(request).toUtf8() + '\n');
    socket->flush();
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
