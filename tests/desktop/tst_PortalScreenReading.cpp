#include "DesktopProcesses.h"
#include "SwayDesktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDirIterator>
#include <QProcess>
#include <QTest>

namespace {

const QString FirstQuestion = QStringLiteral("世界上面积最大的国家是哪个？");
const QString SecondQuestion = QStringLiteral("中国的首都是哪座城市？");
// Where xdg-desktop-portal-wlr has grim write every shot.
const QString WlrShot = QStringLiteral("/tmp/out.png");

} // namespace

// The window in a Wayland session (a headless sway), run through XWayland
// as the player meets it, reads the screen through the real desktop portal:
// the overlay shows the portal's shot, the 读屏 button and the watch read a
// question that another window shows. Without a portal on the session bus,
// or with one that has no Screenshot, the window says what is missing.
class TestPortalScreenReading : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SwayDesktop> session;
    QTemporaryDir config;
    QProcess probe;

    // Empty when the session is up; else why not.
    QString startSession(SwayDesktop::Portal portal)
    {
        QString problem;
        session = SwayDesktop::start(portal, &problem);
        return session ? QString() : problem;
    }

    // Starts the portal through the bus and waits until it offers Screenshot:
    // it takes the bus name before it has set up all its backends. (Now and
    // then its start stalls for the bus's 25 s timeout on one of them.)
    bool portalOffersScreenshot() const
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(
            session->environment().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")), QStringLiteral("test"));
        const QDBusMessage introspect = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
        const bool offered = QTest::qWaitFor([&] {
            const QDBusMessage reply = bus.call(introspect, QDBus::Block, 20000);
            return reply.arguments().value(0).toString().contains(QLatin1String("org.freedesktop.portal.Screenshot"));
        }, 20000);
        QDBusConnection::disconnectFromBus(QStringLiteral("test"));
        return offered;
    }

    bool startProbe()
    {
        QProcessEnvironment environment = session->environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        // What the window chooses in a Wayland session with XWayland (WindowPlatform).
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        probe.setProcessEnvironment(environment);
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(qEnvironmentVariable("VELLMAR_SCREEN_PROBE"), {qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), FirstQuestion});
        return probe.waitForStarted();
    }

    QString expect(const QString &word, int timeoutMs = 30000) { return expectProbeLine(probe, word, timeoutMs); }

    void send(const QString &line) { probe.write((line + u'\n').toUtf8()); }

private slots:
    void portalShotIsReadAsTheScreen()
    {
        if (const QString problem = startSession(SwayDesktop::Portal::Offered); !problem.isEmpty())
            QSKIP(qPrintable(problem));
        if (!portalOffersScreenshot())
            QSKIP(qPrintable(QStringLiteral("xdg-desktop-portal offers no org.freedesktop.portal.Screenshot here: its wlr backend "
                                            "or its Access backend (xdg-desktop-portal-gtk) did not start: ")
                             + session->busLog()));
        QVERIFY(startProbe());

        const QStringList game = expect(QStringLiteral("game")).split(u' ');
        QCOMPARE(game.size(), 4);
        const int left = game[0].toInt() - 6, top = game[1].toInt() - 6;
        const int width = game[2].toInt() + 12, height = game[3].toInt() + 12;
        // The overlay's frozen background is the portal's shot: the game's
        // dark blue corner, dimmed, where nothing would be plain black.
        send(QStringLiteral("overlay %1 %2").arg(left + 9).arg(top + 9));
        const QStringList colour = expect(QStringLiteral("overlay")).split(u' ');
        QCOMPARE(colour.size(), 3);
        QVERIFY2(colour[2].toInt() > colour[0].toInt() + 8, qPrintable(colour.join(u' ')));

        send(QStringLiteral("drag %1 %2 %3 %4").arg(left).arg(top).arg(width).arg(height));
        QCOMPARE(expect(QStringLiteral("marked")), QStringLiteral("%1 %2 %3 %4").arg(left).arg(top).arg(width).arg(height));
        QDirIterator files(config.path(), {QStringLiteral("settings.ini")}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(files.hasNext());

        send(QStringLiteral("read"));
        const QStringList painted = expect(QStringLiteral("painted"), 60000).split(u'\t');
        QCOMPARE(painted.size(), 3);
        QCOMPARE(painted[1], FirstQuestion);
        QVERIFY2(painted[2].startsWith(QStringLiteral("识别：")), qPrintable(painted[2]));
        // The portal's scratch file is gone once read.
        QVERIFY(!QFile::exists(WlrShot));

        // This portal has no GlobalShortcuts: the button's tip says so.
        send(QStringLiteral("tooltip"));
        QVERIFY2(expect(QStringLiteral("tooltip")).contains(QStringLiteral("桌面门户没有全局快捷键接口")), "no word on the hot key");

        send(QStringLiteral("watch"));
        send(QStringLiteral("say ") + SecondQuestion);
        QString first;
        for (int reading = 0; reading < 3 && first != SecondQuestion; ++reading)
            first = expect(QStringLiteral("painted"), 60000).section(u'\t', 1, 1);
        QCOMPARE(first, SecondQuestion);
    }

    void withoutPortalTheWindowSaysWhy()
    {
        if (const QString problem = startSession(SwayDesktop::Portal::Absent); !problem.isEmpty())
            QSKIP(qPrintable(problem));
        QVERIFY(startProbe());
        const QString noPortal = QStringLiteral("这里无法读取屏幕：只有 X11 桌面允许程序读取屏幕区域，"
                                                "Wayland 下要经桌面门户（xdg-desktop-portal）截屏，这里没有门户");
        QCOMPARE(expect(QStringLiteral("problem")), noPortal);
        QCOMPARE(expect(QStringLiteral("nomarker")), QString());
        send(QStringLiteral("read"));
        QCOMPARE(expect(QStringLiteral("problem")), noPortal);
        send(QStringLiteral("tooltip"));
        QVERIFY2(expect(QStringLiteral("tooltip")).contains(QStringLiteral("全局热键在这里不可用：没有桌面门户")), "no word on the hot key");
    }

    void portalWithoutScreenshotIsNamed()
    {
        if (const QString problem = startSession(SwayDesktop::Portal::WithoutBackends); !problem.isEmpty())
            QSKIP(qPrintable(problem));
        QVERIFY(startProbe());
        QCOMPARE(expect(QStringLiteral("problem"), 60000),
                 QStringLiteral("这里无法读取屏幕：只有 X11 桌面允许程序读取屏幕区域，Wayland 下要经桌面门户的截屏接口"
                                "（org.freedesktop.portal.Screenshot），这里的门户没有它"));
        send(QStringLiteral("tooltip"));
        QVERIFY2(expect(QStringLiteral("tooltip")).contains(QStringLiteral("桌面门户没有全局快捷键接口")), "no word on the hot key");
    }

    void cleanup()
    {
        if (probe.state() != QProcess::NotRunning) {
            send(QStringLiteral("quit"));
            if (!probe.waitForFinished(5000))
                probe.kill();
            probe.waitForFinished();
        }
        session.reset();
    }
};

QTEST_GUILESS_MAIN(TestPortalScreenReading)
#include "tst_PortalScreenReading.moc"
