#include "ProgramRun.h"
#include "VirtualDesktops.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int WindowTimeoutMs = 30000;
const QString WindowTitle = QStringLiteral("Vellmar答题器 v1.2");

} // namespace

// The window on real display servers: under X11 with a window manager it
// stays above other windows, keeps its size and ends when closed through its
// frame; on Wayland, where nothing keeps a window on top, it still stays on
// screen; in a Wayland session with XWayland it goes through XWayland.
class TestWindowStacking : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VirtualDesktop> x11;
    QProcess window;
    QString windowId;

    QString tool(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(x11->environment());
        process.start(program, arguments);
        if (!process.waitForFinished(10000))
            return QString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    // The X window whose title is `title`, once it is mapped; empty when none comes.
    QString waitForWindow(const QString &title)
    {
        QDeadlineTimer deadline(WindowTimeoutMs);
        while (!deadline.hasExpired()) {
            const QString found = tool(QStringLiteral("xdotool"),
                                       {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                        QStringLiteral("^%1$").arg(QRegularExpression::escape(title))});
            if (!found.isEmpty())
                return found.split(u'\n').last();
            QTest::qWait(200);
        }
        return QString();
    }

    // Client windows from bottom to top, as the window manager stacks them.
    QList<qulonglong> stackingOrder()
    {
        QList<qulonglong> order;
        const QString list = tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
        for (const QRegularExpressionMatch &match : QRegularExpression(QStringLiteral("0x[0-9a-f]+")).globalMatch(list))
            order << match.captured().toULongLong(nullptr, 16);
        return order;
    }

    QSize windowSize()
    {
        const QString info = tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId});
        const QRegularExpressionMatch width = QRegularExpression(QStringLiteral("Width: (\\d+)")).match(info);
        const QRegularExpressionMatch height = QRegularExpression(QStringLiteral("Height: (\\d+)")).match(info);
        return QSize(width.captured(1).toInt(), height.captured(1).toInt());
    }

    QString windowProperty(const char *name)
    {
        return tool(QStringLiteral("xprop"), {QStringLiteral("-id"), windowId, QLatin1String(name)});
    }

    qulonglong activeWindow()
    {
        return tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")})
            .section(u'#', 1).trimmed().toULongLong(nullptr, 16);
    }

    ProgramRun secondStart(const QStringList &arguments)
    {
        QProcess quiz;
        quiz.setProcessEnvironment(x11->environment());
        quiz.start(qEnvironmentVariable("VELLMAR_QUIZ"), arguments);
        ProgramRun run;
        if (quiz.waitForFinished(20000))
            run.exitCode = quiz.exitCode();
        else
            quiz.kill();
        run.err = QString::fromUtf8(quiz.readAllStandardError());
        return run;
    }

    static int probe(const QProcessEnvironment &environment, QString *output)
    {
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(qEnvironmentVariable("VELLMAR_STACKING_PROBE"), QStringList());
        const bool finished = probe.waitForFinished(60000);
        *output = QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError());
        if (!finished) {
            probe.kill();
            probe.waitForFinished();
            return -1;
        }
        return probe.exitCode();
    }

private slots:
    void initTestCase()
    {
        QString problem;
        x11 = VirtualDesktop::startX11WithOpenbox(&problem);
        if (!x11)
            QSKIP(qPrintable(problem));
        QProcessEnvironment environment = x11->environment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        window.setProcessEnvironment(environment);
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        window.start(qEnvironmentVariable("VELLMAR_QUIZ"), QStringList());
        QVERIFY(window.waitForStarted());
        windowId = waitForWindow(WindowTitle);
        QVERIFY2(!windowId.isEmpty(), "the window did not appear");
    }

    void cleanupTestCase()
    {
        if (window.state() != QProcess::NotRunning) {
            window.kill();
            window.waitForFinished();
        }
    }

    void staysAboveAWindowRaisedOverIt()
    {
        QVERIFY(windowProperty("_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        QProcess cover;
        cover.setProcessEnvironment(x11->environment());
        cover.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("cover"),
                                                  QStringLiteral("-geometry"), QStringLiteral("1000x800+50+50"),
                                                  QStringLiteral("a window over the quiz")});
        const QString coverId = waitForWindow(QStringLiteral("cover"));
        QVERIFY(!coverId.isEmpty());
        tool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), coverId});
        tool(QStringLiteral("xdotool"), {QStringLiteral("windowraise"), coverId});
        QTest::qWait(300);
        const QList<qulonglong> order = stackingOrder();
        QVERIFY2(order.indexOf(windowId.toULongLong()) > order.indexOf(coverId.toULongLong()),
                 qPrintable(QStringLiteral("stacking %1").arg(tool(QStringLiteral("xprop"),
                                                                  {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}))));
        QCOMPARE(tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")})
                     .section(u'#', 1).trimmed().toULongLong(nullptr, 16),
                 coverId.toULongLong());
        cover.kill();
        cover.waitForFinished();
    }

    void cannotBeResizedOrMaximised()
    {
        const QSize size(481, 313);
        QCOMPARE(windowSize(), size);
        const QString actions = windowProperty("_NET_WM_ALLOWED_ACTIONS");
        for (const char *action : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
            QVERIFY2(!actions.contains(QLatin1String(action)), qPrintable(actions));

        tool(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), windowId, QStringLiteral("800"), QStringLiteral("600")});
        QTest::qWait(300);
        QCOMPARE(windowSize(), size);
        tool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), windowId, QStringLiteral("-b"),
                                        QStringLiteral("add,maximized_vert,maximized_horz")});
        QTest::qWait(300);
        QCOMPARE(windowSize(), size);
    }

    // One window per user and display: a second start hands over to the
    // running window (raises it, focuses the query box) and ends; a bank
    // handed over that does not load is refused in the second start's words.
    void secondStartHandsOver()
    {
        QCOMPARE(secondStart({}).exitCode, 0);
        QTRY_COMPARE(activeWindow(), windowId.toULongLong());
        QTemporaryDir folder;
        const QString empty = folder.filePath(QStringLiteral("empty.dat"));
        QFile(empty).open(QIODevice::WriteOnly);
        const ProgramRun refused = secondStart({QStringLiteral("--install-bank"), empty});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("题库文件“%1”是空的").arg(empty)), qPrintable(refused.err));
        QCOMPARE(window.state(), QProcess::Running);
    }

    void closingThroughTheFrameEndsTheProgram()
    {
        tool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), windowId});
        QVERIFY(window.waitForFinished(WindowTimeoutMs));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 0);
    }

    // A window killed leaves its socket behind; the next start is not stopped by it.
    void aCrashedWindowsSocketDoesNotBlock()
    {
        for (int run = 0; run < 2; ++run) {
            QProcess killed;
            killed.setProcessEnvironment(x11->environment());
            killed.start(qEnvironmentVariable("VELLMAR_QUIZ"), {QStringLiteral("--no-browser")});
            QVERIFY2(!waitForWindow(WindowTitle).isEmpty(), "the window did not appear");
            if (run == 1)
                QCOMPARE(secondStart({}).exitCode, 0);
            killed.kill();
            killed.waitForFinished();
        }
    }

    // Made topmost once shown, the window keeps its native window and stays exposed.
    void shownWindowStaysOnScreenOnXcb()
    {
        QProcessEnvironment environment = x11->environment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QString output;
        QVERIFY2(probe(environment, &output) == 0, qPrintable(output));
    }

    void shownWindowStaysOnScreenOnWayland()
    {
        QString problem;
        const std::unique_ptr<VirtualDesktop> weston = VirtualDesktop::startHeadlessWeston(&problem);
        if (!weston)
            QSKIP(qPrintable(problem));
        QProcessEnvironment environment = weston->environment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        QString output;
        QVERIFY2(probe(environment, &output) == 0, qPrintable(output));
    }

    // XWayland is an X server in the Wayland session: here Xvfb stands in for it.
    void waylandSessionGoesThroughXWayland()
    {
        QString problem;
        const std::unique_ptr<VirtualDesktop> weston = VirtualDesktop::startHeadlessWeston(&problem);
        if (!weston)
            QSKIP(qPrintable(problem));
        QProcessEnvironment environment = x11->environment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), weston->environment().value(QStringLiteral("WAYLAND_DISPLAY")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), weston->environment().value(QStringLiteral("XDG_RUNTIME_DIR")));
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        QProcess session;
        session.setProcessEnvironment(environment);
        session.start(qEnvironmentVariable("VELLMAR_QUIZ"), QStringList());
        QVERIFY(session.waitForStarted());
        windowId = waitForWindow(WindowTitle);
        QVERIFY2(!windowId.isEmpty(), "the window did not appear on the X server");
        QVERIFY(windowProperty("_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        session.kill();
        session.waitForFinished();
        const QStringList notes = QString::fromUtf8(session.readAllStandardError()).split(u'\n').filter(QStringLiteral("XWayland"));
        QCOMPARE(notes.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWindowStacking)
#include "tst_WindowStacking.moc"
