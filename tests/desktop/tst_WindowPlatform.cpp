#include "ui/WindowPlatform.h"

#include <QTest>

using WindowPlatform::Session;

// Where stacking can hold, the window goes there; where it cannot, it says so.
class TestWindowPlatform : public QObject
{
    Q_OBJECT

private slots:
    void choose_data()
    {
        QTest::addColumn<QByteArray>("requested");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("xwayland");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QString>("note");

        const QString throughXWayland = QStringLiteral("running through XWayland");
        const QString mayNotStayOnTop = QStringLiteral("may not stay on top");
        QTest::newRow("X11 session") << QByteArray() << false << true << QByteArray() << QString();
        QTest::newRow("Wayland with XWayland") << QByteArray() << true << true << QByteArray("xcb") << throughXWayland;
        QTest::newRow("Wayland alone") << QByteArray() << true << false << QByteArray() << mayNotStayOnTop;
        QTest::newRow("Wayland chosen") << QByteArray("wayland") << true << true << QByteArray() << mayNotStayOnTop;
        QTest::newRow("Wayland plugin chosen by name")
            << QByteArray("wayland-egl") << true << true << QByteArray() << mayNotStayOnTop;
        QTest::newRow("xcb chosen") << QByteArray("xcb") << true << true << QByteArray() << QString();
        QTest::newRow("offscreen chosen") << QByteArray("offscreen") << false << false << QByteArray() << QString();
    }

    void choose()
    {
        QFETCH(QByteArray, requested);
        QFETCH(bool, wayland);
        QFETCH(bool, xwayland);
        QFETCH(QByteArray, platform);
        QFETCH(QString, note);

        const WindowPlatform::Choice choice = WindowPlatform::choose(Session{requested, wayland, xwayland});
        QCOMPARE(choice.platform, platform);
        if (note.isEmpty()) {
            QVERIFY2(choice.note.isEmpty(), qPrintable(choice.note));
        } else {
            QVERIFY2(choice.note.contains(note), qPrintable(choice.note));
            QVERIFY(!choice.note.contains(u'\n'));
        }
    }

    void sessionIsReadFromTheEnvironment()
    {
        qputenv("XDG_SESSION_TYPE", "wayland");
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("DISPLAY", ":7");
        qputenv("QT_QPA_PLATFORM", "");
        char program[] = "vellmar-quiz";
        char *alone[] = {program, nullptr};
        Session session = WindowPlatform::currentSession(1, alone);
        QVERIFY(session.wayland && session.xwayland && session.requested.isEmpty());

        qputenv("XDG_SESSION_TYPE", "x11");
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        qunsetenv("DISPLAY");
        qputenv("QT_QPA_PLATFORM", "wayland");
        session = WindowPlatform::currentSession(1, alone);
        QVERIFY(session.wayland && !session.xwayland);
        QCOMPARE(session.requested, QByteArray("wayland"));

        // Qt's option wins over the environment, as in Qt itself.
        char option[] = "-platform";
        char xcb[] = "xcb";
        char *withOption[] = {program, option, xcb, nullptr};
        QCOMPARE(WindowPlatform::currentSession(3, withOption).requested, QByteArray("xcb"));
    }
};

QTEST_APPLESS_MAIN(TestWindowPlatform)
#include "tst_WindowPlatform.moc"
