#include "screen/PortalScreenshot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

#include <utime.h>

// What the window does with the desktop portal's shot, on two offscreen
// screens side by side at scale 2 (CTest's configuration): the marked area
// of each screen is cut from the one picture of the whole desktop, and only
// the portal's own scratch file is ever deleted.
class TestPortalScreenshot : public QObject
{
    Q_OBJECT

private slots:
    void areaOfTheSecondScreenIsCutFromTheDesktop()
    {
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QScreen &second = *screens.at(1);
        QCOMPARE(second.devicePixelRatio(), 2.0);
        // The desktop in device pixels, as the portal gives it, grey with
        // one red block where the area lies on the second screen.
        const QRect virtualDesktop = second.virtualGeometry();
        QImage desktop(virtualDesktop.size() * 2, QImage::Format_RGB32);
        desktop.fill(Qt::gray);
        const QRect area(10, 20, 50, 30);
        const QRect red(((second.geometry().topLeft() - virtualDesktop.topLeft()) + area.topLeft()) * 2, area.size() * 2);
        QPainter(&desktop).fillRect(red, Qt::red);

        const QImage cut = PortalScreenshot::screenPart(desktop, second, area);
        QCOMPARE(cut.size(), area.size() * 2);
        for (const QPoint corner : {QPoint(0, 0), QPoint(cut.width() - 1, cut.height() - 1)})
            QCOMPARE(cut.pixelColor(corner), QColor(Qt::red));

        // The whole screen, for the overlay.
        QCOMPARE(PortalScreenshot::screenPart(desktop, second).size(), second.size() * 2);
        QCOMPARE(PortalScreenshot::screenPart(desktop, *screens.at(0)).size(), screens.at(0)->size() * 2);
    }

    void onlyThePortalsScratchIsDeleted()
    {
        const QDateTime asked = QDateTime::currentDateTimeUtc();
        QTemporaryDir home;
        const QString scratch = QDir::temp().filePath(QStringLiteral("vellmar-portal-test-%1.png").arg(QCoreApplication::applicationPid()));
        const QString kept = home.filePath(QStringLiteral("Screenshot.png"));
        QDir(home.path()).mkdir(QStringLiteral("deeper"));
        const QString deeper = home.filePath(QStringLiteral("deeper/shot.png"));
        for (const QString &path : {scratch, kept, deeper}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const auto removeScratch = qScopeGuard([&] { QFile::remove(scratch); });

        QVERIFY(PortalScreenshot::isPortalScratch(scratch, asked));
        // A picture the desktop keeps for the player, wherever it is.
        QVERIFY(!PortalScreenshot::isPortalScratch(kept, asked));
        QVERIFY(!PortalScreenshot::isPortalScratch(deeper, asked));
        // A file in the temporary folder from before the shot is someone else's.
        const QString older = scratch + QStringLiteral(".old.png");
        QVERIFY(QFile::copy(scratch, older));
        const auto removeOlder = qScopeGuard([&] { QFile::remove(older); });
        const utimbuf yesterday{std::time(nullptr) - 86400, std::time(nullptr) - 86400};
        QCOMPARE(::utime(QFile::encodeName(older).constData(), &yesterday), 0);
        QVERIFY(!PortalScreenshot::isPortalScratch(older, asked));
        // A link in the temporary folder to a picture elsewhere.
        const QString link = scratch + QStringLiteral(".link.png");
        QVERIFY(QFile::link(kept, link));
        const auto removeLink = qScopeGuard([&] { QFile::remove(link); });
        QVERIFY(!PortalScreenshot::isPortalScratch(link, asked));
        QVERIFY(!PortalScreenshot::isPortalScratch(QStringLiteral("relative.png"), asked));
    }
};

QTEST_MAIN(TestPortalScreenshot)
#include "tst_PortalScreenshot.moc"
