#include "DesktopProcesses.h"
#include "VirtualDesktops.h"

#include <QDirIterator>
#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <memory>

namespace {

const QString FirstQuestion = QStringLiteral("世界上面积最大的国家是哪个？");
const QString SecondQuestion = QStringLiteral("中国的首都是哪座城市？");

// Another program on the display that holds Ctrl+Alt+G for itself.
class OtherProgramsKey
{
public:
    explicit OtherProgramsKey(const QString &display) : m_connection(xcb_connect(qPrintable(display), nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, 'g');
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        if (codes) {
            const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1,
                                                                  codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            xcb_generic_error_t *error = xcb_request_check(m_connection, cookie);
            m_held = error == nullptr;
            std::free(error);
        }
        std::free(codes);
        xcb_key_symbols_free(symbols);
    }
    ~OtherProgramsKey() { xcb_disconnect(m_connection); }
    bool held() const { return m_held; }

private:
    xcb_connection_t *m_connection;
    bool m_held = false;
};

} // namespace

// The window reads a question that another window shows, on a real X display
// with a window manager: the player drags the area on the overlay, presses
// the hot key (NumLock on or off), and the first row of lQ is the question;
// the player changes the hot key through the buttons' menu, and a key another
// program holds is refused; the key and the area outlive a restart;
// watched, the area is read again when a new question settles there.
class TestScreenReading : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VirtualDesktop> x11;
    QTemporaryDir config;
    QProcess probe;
    QString markedArea; // "X Y W H"

    void xdotool(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(x11->environment());
        process.start(QStringLiteral("xdotool"), arguments);
        QVERIFY(process.waitForFinished(10000));
    }

    QString expect(const QString &word, int timeoutMs = 30000) { return expectProbeLine(probe, word, timeoutMs); }

    void send(const QString &line) { probe.write((line + u'\n').toUtf8()); }

    void startProbe(const QStringList &extra = {})
    {
        probe.start(qEnvironmentVariable("VELLMAR_SCREEN_PROBE"),
                    QStringList{qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), FirstQuestion} + extra);
        QVERIFY(probe.waitForStarted());
    }

    void stopProbe()
    {
        if (probe.state() == QProcess::NotRunning)
            return;
        send(QStringLiteral("quit"));
        if (!probe.waitForFinished(5000))
            probe.kill();
    }

    QByteArray settingsFile()
    {
        QDirIterator files(config.path(), {QStringLiteral("settings.ini")}, QDir::Files, QDirIterator::Subdirectories);
        if (!files.hasNext())
            return {};
        QFile settings(files.next());
        return settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
    }

    // The player right-clicks 读屏 and picks "设置热键…" with the keyboard.
    void openHotKeyDialog()
    {
        send(QStringLiteral("where read"));
        const QStringList where = expect(QStringLiteral("where")).split(u' ');
        QCOMPARE(where.size(), 2);
        xdotool({QStringLiteral("mousemove"), where[0], where[1]});
        xdotool({QStringLiteral("click"), QStringLiteral("3")});
        QCOMPARE(expect(QStringLiteral("menu")), QStringLiteral("shown"));
        xdotool({QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
        QCOMPARE(expect(QStringLiteral("dialog")), QStringLiteral("ready"));
    }

    // A hot key press, and the first row of lQ it gives.
    QString questionReadBy(const QString &key, int timeoutMs = 30000)
    {
        xdotool({QStringLiteral("key"), key});
        return expect(QStringLiteral("painted"), timeoutMs).section(u'\t', 1, 1);
    }

private slots:
    void initTestCase()
    {
        QString problem;
        x11 = VirtualDesktop::startX11WithOpenbox(&problem);
        if (!x11)
            QSKIP(qPrintable(problem));
        QProcessEnvironment environment = x11->environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        probe.setProcessEnvironment(environment);
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startProbe();
    }

    void playerMarksTheAreaOnTheOverlay()
    {
        const QStringList game = expect(QStringLiteral("game")).split(u' ');
        QCOMPARE(game.size(), 4);
        const int left = game[0].toInt() - 6, top = game[1].toInt() - 6;
        const int right = left + game[2].toInt() + 12, bottom = top + game[3].toInt() + 12;
        xdotool({QStringLiteral("mousemove"), QString::number(left), QString::number(top)});
        xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        xdotool({QStringLiteral("mousemove"), QString::number((left + right) / 2), QString::number((top + bottom) / 2)});
        xdotool({QStringLiteral("mousemove"), QString::number(right), QString::number(bottom)});
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        markedArea = expect(QStringLiteral("marked"));
        QCOMPARE(markedArea, QStringLiteral("%1 %2 %3 %4").arg(left).arg(top).arg(right - left).arg(bottom - top));
        // Remembered in the player's settings.
        QVERIFY(settingsFile().contains("[screenReading]"));
    }

    void hotKeyReadsTheQuestion_data()
    {
        QTest::addColumn<bool>("numLock");
        QTest::newRow("plain") << false;
        QTest::newRow("NumLock on") << true;
    }
    void hotKeyReadsTheQuestion()
    {
        QFETCH(bool, numLock);
        if (numLock)
            xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock")});
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+d")});
        const QStringList painted = expect(QStringLiteral("painted")).split(u'\t');
        QCOMPARE(painted.size(), 3);
        QCOMPARE(painted[1], FirstQuestion);
        QVERIFY2(painted[2].startsWith(QStringLiteral("识别：")), qPrintable(painted[2]));
        if (numLock)
            xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock")});
    }

    void playerChangesTheHotKeyThroughTheMenu()
    {
        send(QStringLiteral("tooltip"));
        QVERIFY(expect(QStringLiteral("tooltip")).contains(QStringLiteral("Ctrl+Alt+D")));
        openHotKeyDialog();
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+e")});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        QCOMPARE(expect(QStringLiteral("dialog")), QStringLiteral("hidden"));
        send(QStringLiteral("tooltip"));
        QVERIFY(expect(QStringLiteral("tooltip")).contains(QStringLiteral("Ctrl+Alt+E")));
        QVERIFY2(settingsFile().contains("hotKey=Ctrl+Alt+E"), settingsFile().constData());

        QCOMPARE(questionReadBy(QStringLiteral("ctrl+alt+e")), FirstQuestion);
        // The old key is let go: it reads nothing any more.
        QCOMPARE(questionReadBy(QStringLiteral("ctrl+alt+d"), 2000), QString());
    }

    void aKeyAnotherProgramHoldsIsRefused()
    {
        const OtherProgramsKey other(x11->environment().value(QStringLiteral("DISPLAY")));
        QVERIFY(other.held());
        openHotKeyDialog();
        // The dialog has the keyboard while its field has the focus, so the key reaches it.
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+g")});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        QString message;
        for (int look = 0; look < 50 && !message.contains(QStringLiteral("占用")); ++look) {
            QTest::qWait(100);
            send(QStringLiteral("message"));
            message = expect(QStringLiteral("message"));
        }
        QCOMPARE(message, QStringLiteral("热键 Ctrl+Alt+G 已被其他程序占用；仍使用 Ctrl+Alt+E"));
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QCOMPARE(expect(QStringLiteral("dialog")), QStringLiteral("hidden"));

        QCOMPARE(questionReadBy(QStringLiteral("ctrl+alt+e")), FirstQuestion);
        QVERIFY(settingsFile().contains("hotKey=Ctrl+Alt+E"));
    }

    void theHotKeyAndTheAreaOutliveARestart()
    {
        stopProbe();
        startProbe({QStringLiteral("--marked")});
        QCOMPARE(expect(QStringLiteral("ready")), markedArea);
        QCOMPARE(questionReadBy(QStringLiteral("ctrl+alt+e")), FirstQuestion);
    }

    void watchReadsANewQuestionOnceItSettles()
    {
        send(QStringLiteral("watch"));
        send(QStringLiteral("say ") + SecondQuestion);
        QString first;
        for (int reading = 0; reading < 3 && first != SecondQuestion; ++reading)
            first = expect(QStringLiteral("painted")).section(u'\t', 1, 1);
        QCOMPARE(first, SecondQuestion);
    }

    void cleanupTestCase() { stopProbe(); }
};

QTEST_GUILESS_MAIN(TestScreenReading)
#include "tst_ScreenReading.moc"
