#include "screen/AreaWatch.h"

#include <cstdlib>

namespace {

QImage smallGrey(const QImage &picture)
{
    return picture.scaled(picture.width() / 4 + 1, picture.height() / 4 + 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

AreaWatch::AreaWatch(std::function<QImage()> look, QObject *parent) : QObject(parent), m_look(std::move(look))
{
    m_timer.setInterval(LookIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &AreaWatch::lookOnce);
}

void AreaWatch::start()
{
    m_previous = QImage();
    m_handedOn = QImage();
    m_timer.start();
    lookOnce();
}

void AreaWatch::stop()
{
    m_timer.stop();
}

bool AreaWatch::sameScene(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return false;
    const QImage smallA = smallGrey(a);
    const QImage smallB = smallGrey(b);
    qsizetype differing = 0;
    for (int y = 0; y < smallA.height(); ++y) {
        const uchar *lineA = smallA.constScanLine(y);
        const uchar *lineB = smallB.constScanLine(y);
        for (int x = 0; x < smallA.width(); ++x)
            differing += std::abs(int(lineA[x]) - int(lineB[x])) > 24;
    }
    return differing * 200 <= qsizetype(smallA.width()) * smallA.height();
}

void AreaWatch::lookOnce()
{
    const QImage picture = m_look();
    if (picture.isNull())
        return;
    const bool still = sameScene(picture, m_previous);
    m_previous = picture;
    if (still && !sameScene(picture, m_handedOn)) {
        m_handedOn = picture;
        emit settled(picture);
    }
}
