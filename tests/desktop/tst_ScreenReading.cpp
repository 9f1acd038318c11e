#include "VirtualDesktops.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QProcess>
#include <QTest>

namespace {

const QString FirstQuestion = QStringLiteral("世界上面积最大的国家是哪个？");
const QString SecondQuestion = QStringLiteral("中国的首都是哪座城市？");

} // namespace

// The window reads a question that another window shows, on a real X display
// with a window manager: the player drags the area on the overlay, presses
// the hot key (NumLock on or off), and the first row of lQ is the question;
// watched, the area is read again when a new question settles there.
class TestScreenReading : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VirtualDesktop> x11;
    QTemporaryDir config;
    QProcess probe;

    void xdotool(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(x11->environment());
        process.start(QStringLiteral("xdotool"), arguments);
        QVERIFY(process.waitForFinished(10000));
    }

    // The probe's next line that starts with `word`, without it.
    QString expect(const QString &word, int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            if (!probe.canReadLine() && !probe.waitForReadyRead(int(deadline.remainingTime())))
                break;
            while (probe.canReadLine()) {
                const QString line = QString::fromUtf8(probe.readLine()).chopped(1);
                if (line.startsWith(word + u' '))
                    return line.mid(word.size() + 1);
                qInfo("probe: %s", qUtf8Printable(line));
            }
        }
        return QString();
    }

    void send(const QString &line) { probe.write((line + u'\n').toUtf8()); }

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
        probe.start(qEnvironmentVariable("VELLMAR_SCREEN_PROBE"), {qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), FirstQuestion});
        QVERIFY(probe.waitForStarted());
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
        QCOMPARE(expect(QStringLiteral("marked")),
                 QStringLiteral("%1 %2 %3 %4").arg(left).arg(top).arg(right - left).arg(bottom - top));
        // Remembered in the player's settings.
        QDirIterator files(config.path(), {QStringLiteral("settings.ini")}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(files.hasNext());
        QFile settings(files.next());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("[screenReading]"));
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

    void watchReadsANewQuestionOnceItSettles()
    {
        send(QStringLiteral("watch"));
        send(QStringLiteral("say ") + SecondQuestion);
        QString first;
        for (int reading = 0; reading < 3 && first != SecondQuestion; ++reading)
            first = expect(QStringLiteral("painted")).section(u'\t', 1, 1);
        QCOMPARE(first, SecondQuestion);
    }

    void cleanupTestCase()
    {
        if (probe.state() == QProcess::NotRunning)
            return;
        send(QStringLiteral("quit"));
        if (!probe.waitForFinished(5000))
            probe.kill();
    }
};

QTEST_GUILESS_MAIN(TestScreenReading)
#include "tst_ScreenReading.moc"
