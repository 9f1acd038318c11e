#include "screen/ScreenReading.h"

#include "screen/AreaMarker.h"
#include "screen/ScreenCapture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

ScreenReading::ScreenReading(const QuestionLines &lines, QWidget &window, ScreenReadingSettings settings, QObject *parent)
    : QObject(parent), m_window(window), m_settings(std::move(settings)), m_worker(new RecognitionWorker(lines)),
      m_watch([this] { return grabMarkedArea(); })
{
    qRegisterMetaType<ScreenReadingOutcome>();
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &RecognitionWorker::finished, this, &ScreenReading::finished);
    m_thread.setObjectName(QStringLiteral("screen reading"));
    m_thread.start();
    connect(&m_hotKey, &GlobalHotKey::activated, this, &ScreenReading::readArea);
    connect(&m_watch, &AreaWatch::settled, this, &ScreenReading::readPicture);
    if (ScreenCapture::available())
        m_hotKey.setKey(m_settings.hotKey());
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
    if (ScreenCapture::available())
        return {};
    return QStringLiteral("这里无法读取屏幕：只有 X11 桌面允许程序读取屏幕区域");
}

QScreen &ScreenReading::screen() const
{
    QScreen *screen = m_window.screen();
    return screen ? *screen : *QGuiApplication::primaryScreen();
}

QImage ScreenReading::grabMarkedArea() const
{
    const QRect area = m_settings.area(screen());
    return area.isEmpty() ? QImage() : ScreenCapture::grab(screen(), area);
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
    readPicture(grabMarkedArea());
}

void ScreenReading::markArea()
{
    if (const QString reason = unavailableReason(); !reason.isEmpty()) {
        emit problem(reason);
        return;
    }
    if (m_marker)
        return;
    QScreen &target = screen();
    m_marker = new AreaMarker(target, ScreenCapture::grab(target));
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
    if (!m_hotKey.setKey(key)) {
        const QKeySequence kept = m_hotKey.key();
        return kept.isEmpty() ? m_hotKey.problem()
                              : QStringLiteral("%1；仍使用 %2").arg(m_hotKey.problem(), kept.toString(QKeySequence::NativeText));
    }
    m_settings.setHotKey(key);
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
    if (outcome.modelMissing) {
        emit problem(QStringLiteral("无法载入文字识别模型 %1（Debian：tesseract-ocr-chi-sim）").arg(QLatin1String(TextRecogniser::ModelName)));
        return;
    }
    emit read(outcome.text, outcome.result);
}
