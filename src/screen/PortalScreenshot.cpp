#include "screen/PortalScreenshot.h"

#include <QDBusError>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QUrl>

#include <algorithm>

#include <unistd.h>

namespace {

const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
// The sentence the window said before there was a portal to ask, and what
// is missing here.
const QString OnlyX11 = QStringLiteral("这里无法读取屏幕：只有 X11 桌面允许程序读取屏幕区域");

QString wordsForFailedCall(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
        return OnlyX11 + QStringLiteral("，Wayland 下要经桌面门户（xdg-desktop-portal）截屏，这里没有门户");
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownObject:
        return OnlyX11 + QStringLiteral("，Wayland 下要经桌面门户的截屏接口（org.freedesktop.portal.Screenshot），这里的门户没有它");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return QStringLiteral("桌面门户没有回应，屏幕区域没有读到");
    default:
        return QStringLiteral("桌面门户截屏失败（%1），屏幕区域没有读到").arg(error.message());
    }
}

QString wordsForRefusal(uint response)
{
    if (response == 1)
        return QStringLiteral("截屏被取消了，屏幕区域没有读到");
    return QStringLiteral("桌面门户没有截屏（被拒绝或没做成），屏幕区域没有读到；初次读屏时请在门户的对话框里允许");
}

bool isDirectlyIn(const QFileInfo &file, const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(file.absolutePath()).canonicalFilePath() == QFileInfo(folder).canonicalFilePath();
}

} // namespace

PortalScreenshot::PortalScreenshot(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus))
{
    m_reading.setMaxThreadCount(1);
}

PortalScreenshot::~PortalScreenshot()
{
    // The thread posts its picture to this object; it must be done first.
    m_reading.waitForDone();
}

void PortalScreenshot::take(const QString &parentWindow)
{
    if (m_taking)
        return;
    m_taking = true;
    m_asked = QDateTime::currentDateTimeUtc();
    // Not interactive: the player's own choice of region could not be put
    // back onto the screens, and the watch asks every few tenths of a second.
    const QVariantMap options{{QStringLiteral("interactive"), false}, {QStringLiteral("modal"), false}};
    PortalRequest *request = PortalRequest::send(m_bus, ScreenshotInterface, QStringLiteral("Screenshot"), {parentWindow},
                                                 options, AnswerTimeoutMs, this);
    connect(request, &PortalRequest::finished, this, &PortalScreenshot::answered);
}

void PortalScreenshot::answered(const PortalRequest::Answer &answer)
{
    if (answer.callFailed)
        return fail(wordsForFailedCall(answer.error));
    if (answer.timedOut)
        return fail(QStringLiteral("桌面门户 %1 秒内没有给出截图，屏幕区域没有读到").arg(AnswerTimeoutMs / 1000));
    if (answer.response != 0)
        return fail(wordsForRefusal(answer.response));
    const QUrl uri(answer.results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return fail(QStringLiteral("桌面门户给的截图不是本机文件（%1），屏幕区域没有读到").arg(uri.toString()));
    readPicture(uri.toLocalFile());
}

void PortalScreenshot::readPicture(const QString &path)
{
    const QDateTime asked = m_asked;
    m_reading.start([this, path, asked] {
        const QImage desktop(path);
        const bool removed = isPortalScratch(path, asked) && QFile::remove(path);
        QMetaObject::invokeMethod(this, [this, desktop, path, removed] { pictureRead(desktop, path, removed); },
                                  Qt::QueuedConnection);
    });
}

void PortalScreenshot::pictureRead(const QImage &desktop, const QString &path, bool removed)
{
    if (desktop.isNull())
        return fail(QStringLiteral("桌面门户给的截图“%1”读不出来，屏幕区域没有读到").arg(path));
    m_taking = false;
    emit taken(desktop, removed ? QString() : path);
}

void PortalScreenshot::fail(const QString &message)
{
    m_taking = false;
    emit failed(message);
}

bool PortalScreenshot::isPortalScratch(const QString &path, const QDateTime &asked)
{
    const QFileInfo file(path);
    if (!file.isAbsolute() || file.isSymLink() || !file.isFile() || file.ownerId() != ::geteuid())
        return false;
    const QStringList scratchFolders{QDir::tempPath(), QStringLiteral("/tmp"), qEnvironmentVariable("XDG_RUNTIME_DIR")};
    if (std::none_of(scratchFolders.begin(), scratchFolders.end(), [&](const QString &folder) { return isDirectlyIn(file, folder); }))
        return false;
    // File times may be a little coarser than the clock.
    return file.lastModified() >= asked.addSecs(-2);
}

QImage PortalScreenshot::screenPart(const QImage &desktop, const QScreen &screen, const QRect &area)
{
    const QRect virtualDesktop = screen.virtualGeometry();
    if (desktop.isNull() || virtualDesktop.isEmpty())
        return {};
    const qreal scaleX = desktop.width() / qreal(virtualDesktop.width());
    const qreal scaleY = desktop.height() / qreal(virtualDesktop.height());
    const QRect wanted = (area.isEmpty() ? QRect(QPoint(0, 0), screen.size()) : area)
                             .translated(screen.geometry().topLeft() - virtualDesktop.topLeft());
    const QRect pixels = QRectF(wanted.x() * scaleX, wanted.y() * scaleY, wanted.width() * scaleX, wanted.height() * scaleY)
                             .toAlignedRect()
                             .intersected(desktop.rect());
    return pixels.isEmpty() ? QImage() : desktop.copy(pixels);
}
