#include "screen/ScreenReading.h"

#include "screen/AreaMarker.h"
#include "screen/ScreenCapture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

ScreenReading::ScreenReading(const QuestionLines &lines, QWidget &window, ScreenReadingSettings settings, QObject *parent)
    : QObject(parent), m_window(window), m_settings(std::move(settings)), m_worker(new RecognitionWorker(lines)),
      m_watch([this] { return lookAtMarkedArea(); })
{
    qRegisterMetaType<ScreenReadingOutcome>();
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &RecognitionWorker::finished, this, &ScreenReading::finished);
    m_thread.setObjectName(QStringLiteral("screen reading"));
    m_thread.start();
    connect(&m_hotKey, &GlobalHotKey::activated, this, &ScreenReading::readArea);
    connect(&m_watch, &AreaWatch::settled, this, &ScreenReading::readPicture);
    if (portalSession()) {
        m_portalShot = new PortalScreenshot(QDBusConnection::sessionBus(), this);
        connect(m_portalShot, &PortalScreenshot::taken, this, &ScreenReading::portalShotTaken);
        connect(m_portalShot, &PortalScreenshot::failed, this, &ScreenReading::portalShotFailed);
        m_portalKey = new PortalShortcuts(QDBusConnection::sessionBus(), this);
        connect(m_portalKey, &PortalShortcuts::activated, this, &ScreenReading::readArea);
        connect(m_portalKey, &PortalShortcuts::changed, this, &ScreenReading::hotKeyNoteChanged);
    }
    // Under XWayland the X grab still sees the key while an X window (the
    // game's, often) has the focus.
    if (ScreenCapture::available() || m_portalShot)
        m_hotKey.setKey(m_settings.hotKey());
    if (m_portalKey)
        m_portalKey->bind(m_settings.hotKey(), PortalRequest::parentWindow(&m_window));
}

ScreenReading::~ScreenReading()
{
    if (m_marker)
        m_marker->close();
    m_thread.quit();
    m_thread.wait();
}

QString ScreenReading::unavailableReason()
{
    if (ScreenCapture::available() || portalSession())
        return {};
    return QStringLiteral("这里无法读取屏幕：只有 X11 桌面允许程序读取屏幕区域");
}

bool ScreenReading::portalSession()
{
    const QString platform = QGuiApplication::platformName();
    return ScreenCapture::waylandSession() && (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")));
}

QString ScreenReading::hotKeyNote() const
{
    if (!m_portalKey)
        return {};
    if (!m_portalKey->isBound())
        return m_portalKey->problem();
    // The desktop chooses the trigger; the player's key was only a wish.
    const QString trigger = m_portalKey->triggerDescription();
    return trigger.isEmpty() ? QString() : QStringLiteral("桌面设定的快捷键：%1").arg(trigger);
}

QScreen &ScreenReading::screen() const
{
    QScreen *screen = m_window.screen();
    return screen ? *screen : *QGuiApplication::primaryScreen();
}

void ScreenReading::grab(const QRect &area, std::function<void(const QImage &)> use)
{
    if (!m_portalShot)
        return use(ScreenCapture::grab(screen(), area));
    m_pendingGrabs.append({area, std::move(use)});
    m_portalShot->take(PortalRequest::parentWindow(&m_window));
}

void ScreenReading::portalShotTaken(const QImage &desktop, const QString &keptFile)
{
    // Watched, such a desktop would gain a file at every look.
    if (!keptFile.isEmpty() && m_watch.isWatching()) {
        m_watch.stop();
        emit problem(QStringLiteral("监视已停止：桌面门户把每张截图都存成文件（如“%1”），监视会留下很多文件").arg(keptFile));
    }
    const QList<PendingGrab> pending = std::exchange(m_pendingGrabs, {});
    for (const PendingGrab &waiting : pending)
        waiting.use(PortalScreenshot::screenPart(desktop, screen(), waiting.area));
}

void ScreenReading::portalShotFailed(const QString &message)
{
    m_pendingGrabs.clear();
    m_markerAsked = false;
    m_afterMarking = {};
    m_watch.stop();
    emit problem(message);
}

QImage ScreenReading::lookAtMarkedArea()
{
    const QRect area = m_settings.area(screen());
    if (area.isEmpty())
        return {};
    if (!m_portalShot)
        return ScreenCapture::grab(screen(), area);
    // The portal answers later: each look hands on what the look before asked for.
    if (!m_portalShot->isTaking())
        grab(area, [this](const QImage &picture) { m_lastLook = picture; });
    return std::exchange(m_lastLook, {});
}

void ScreenReading::readArea()
{
    if (const QString reason = unavailableReason(); !reason.isEmpty()) {
        emit problem(reason);
        return;
    }
    if (m_settings.area(screen()).isEmpty()) {
        m_afterMarking = [this] { readArea(); };
        markArea();
        return;
    }
    grab(m_settings.area(screen()), [this](const QImage &picture) { readPicture(picture); });
}

void ScreenReading::markArea()
{
    if (const QString reason = unavailableReason(); !reason.isEmpty()) {
        emit problem(reason);
        return;
    }
    if (m_marker || m_markerAsked)
        return;
    m_markerAsked = true;
    grab({}, [this](const QImage &shot) { showMarker(shot); });
}

void ScreenReading::showMarker(const QImage &shot)
{
    m_markerAsked = false;
    QScreen &target = screen();
    m_marker = new AreaMarker(target, shot);
    connect(m_marker, &AreaMarker::marked, this, [this, &target](const QRect &area) {
        m_settings.setArea(target, area);
        if (const auto next = std::exchange(m_afterMarking, {}))
            next();
    });
    connect(m_marker, &AreaMarker::cancelled, this, [this] { m_afterMarking = {}; });
    // Over everything, the quiz window (itself kept on top) included.
    m_marker->show();
    m_marker->raise();
    m_marker->activateWindow();
}

void ScreenReading::setWatching(bool watching)
{
    if (watching && !unavailableReason().isEmpty()) {
        emit problem(unavailableReason());
        return;
    }
    if (watching && m_settings.area(screen()).isEmpty()) {
        m_afterMarking = [this] { m_watch.start(); };
        markArea();
        return;
    }
    if (watching)
        m_watch.start();
    else
        m_watch.stop();
}

QString ScreenReading::changeHotKey(const QKeySequence &key)
{
    if (const QString reason = unavailableReason(); !reason.isEmpty())
        return reason;
    if (m_portalKey)
        return changePortalHotKey(key);
    if (!m_hotKey.setKey(key)) {
        const QKeySequence kept = m_hotKey.key();
        return kept.isEmpty() ? m_hotKey.problem()
                              : QStringLiteral("%1；仍使用 %2").arg(m_hotKey.problem(), kept.toString(QKeySequence::NativeText));
    }
    m_settings.setHotKey(key);
    return {};
}

// The portal's shortcut is the hot key; the desktop tells later whether it
// took it (hotKeyNoteChanged). The X grab is kept in step where it can be.
QString ScreenReading::changePortalHotKey(const QKeySequence &key)
{
    if (const QString reason = GlobalHotKey::unusableReason(key); !reason.isEmpty())
        return reason;
    m_hotKey.setKey(key);
    m_settings.setHotKey(key);
    m_portalKey->bind(key, PortalRequest::parentWindow(&m_window));
    return {};
}

void ScreenReading::bankChanged()
{
    QMetaObject::invokeMethod(m_worker, &RecognitionWorker::forgetIndex, Qt::QueuedConnection);
}

void ScreenReading::readPicture(const QImage &picture)
{
    if (picture.isNull()) {
        emit problem(QStringLiteral("无法读取屏幕区域"));
        return;
    }
    emit reading();
    const quint64 ticket = ++m_ticket;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, picture, ticket] { worker->read(picture, ticket); },
                              Qt::QueuedConnection);
}

void ScreenReading::finished(const ScreenReadingOutcome &outcome)
{
    // A reading overtaken by a newer one is dropped.
    if (outcome.ticket != m_ticket)
        return;
    if (!outcome.recogniserMissing.isEmpty()) {
        emit problem(outcome.recogniserMissing);
        return;
    }
    if (outcome.modelMissing) {
        emit problem(QStringLiteral("无法载入文字识别模型 %1（Debian：tesseract-ocr-chi-sim）").arg(QLatin1String(RecogniserModelName)));
        return;
    }
    emit read(outcome.text, outcome.result);
}
