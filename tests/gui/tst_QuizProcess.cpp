#include "BadFiles.h"
#include "TestFiles.h"

#include "bank/BankFile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

// The real program, started from a folder of its own with its bank beside it,
// as it ships: vellmar-quiz loads data.dat from the folder it runs from.
namespace {

constexpr int KillRounds = 30;
constexpr int LongestKillDelayMs = 1500;

// In a process group of its own, so that killing it takes the browser
// engine's helper processes along.
void leadOwnGroup()
{
    setpgid(0, 0);
}

void killGroup(QProcess &program)
{
    if (program.state() != QProcess::NotRunning)
        kill(-pid_t(program.processId()), SIGKILL);
    program.waitForFinished(10000);
}

} // namespace

class TestQuizProcess : public QObject
{
    Q_OBJECT

private:
    static constexpr char PluginPath[] = "plugins/vellmar-browser-pane.so";

    QTemporaryDir base;
    QString program;
    QString plugin;
    int folders = 0;

    static bool hardLink(const QString &file, const QString &linked)
    {
        return link(QFile::encodeName(file).constData(), QFile::encodeName(linked).constData()) == 0;
    }

    // A new folder holding the program and, unless told otherwise, its
    // browser plugin (hard links to one copy of each).
    QString programFolder(bool withPlugin = true)
    {
        const QString folder = base.filePath(QStringLiteral("run%1").arg(++folders));
        if (!QDir().mkdir(folder))
            return {};
        letOthersEnter(folder);
        if (!hardLink(program, folder + QStringLiteral("/vellmar-quiz")))
            return {};
        if (withPlugin && (!QDir(folder).mkdir(QStringLiteral("plugins"))
                           || !hardLink(plugin, folder + u'/' + QLatin1String(PluginPath))))
            return {};
        return folder;
    }

    // What the window says on stderr while it runs for a few seconds from
    // `folder`, without the note that the sandbox is off as root; empty when
    // it did not keep running.
    QStringList linesOfARunningWindow(const QString &folder)
    {
        QTemporaryDir runtime;
        if (!QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return {};
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        QProcess quiz;
        quiz.setProcessEnvironment(environment);
        quiz.setChildProcessModifier(leadOwnGroup);
        quiz.start(folder + QStringLiteral("/vellmar-quiz"), QStringList());
        if (!quiz.waitForStarted(10000))
            return {};
        QThread::sleep(4);
        const bool running = quiz.state() == QProcess::Running;
        killGroup(quiz);
        QStringList lines = QString::fromUtf8(quiz.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        lines.removeAll(QStringLiteral("vellmar-quiz: warning: running as root, so web pages run without the browser's sandbox"));
        return running ? lines : QStringList{QStringLiteral("the window ended")};
    }

    void start(QProcess &quiz, const QString &folder)
    {
        quiz.setChildProcessModifier([] {
            leadOwnGroup();
            dropFileAccessOverride();
        });
        quiz.start(folder + QStringLiteral("/vellmar-quiz"), QStringList());
        QVERIFY2(quiz.waitForStarted(10000), qPrintable(quiz.errorString()));
    }

    // The first line on stderr that speaks of the bank (a warning about root may come before it).
    static QString bankLine(QProcess &quiz, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        QString err;
        while (timer.elapsed() < timeoutMs) {
            quiz.waitForReadyRead(100);
            err += QString::fromUtf8(quiz.readAllStandardError());
            for (const QString &line : err.split(u'\n')) {
                if (line.contains(QStringLiteral("题库")) && err.contains(line + u'\n'))
                    return line;
            }
            if (quiz.state() == QProcess::NotRunning && !quiz.bytesAvailable())
                break;
        }
        return err;
    }

private slots:
    void initTestCase()
    {
        const QString built = qEnvironmentVariable("VELLMAR_QUIZ");
        QVERIFY2(QFile::exists(built), "run through CTest, which names the program");
        QVERIFY2(QFile::exists(qEnvironmentVariable("VELLMAR_SAMPLE_BANK")), "run through CTest, which names the sample bank");
        letOthersEnter(base.path());
        program = base.filePath(QStringLiteral("vellmar-quiz"));
        QVERIFY(QFile::copy(built, program));
        plugin = base.filePath(QStringLiteral("vellmar-browser-pane.so"));
        QVERIFY(QFile::copy(QFileInfo(built).path() + u'/' + QLatin1String(PluginPath), plugin));
    }

    // Options are real: an unknown one, or a bare file, is refused in one
    // line; a bank given with --bank is the one loaded; a bad bank given to
    // --install-bank is refused with the reader's message, and the player's
    // own bank stays as it was.
    void commandLine()
    {
        const auto run = [&](const QStringList &arguments, QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
            QProcess quiz;
            quiz.setProcessEnvironment(environment);
            quiz.start(program, arguments);
            const bool finished = quiz.waitForFinished(20000);
            if (!finished)
                quiz.kill();
            return std::pair{finished ? quiz.exitCode() : -1, QString::fromUtf8(quiz.readAllStandardError())};
        };
        for (const QStringList &arguments : {QStringList{"--bogus"}, QStringList{"mybank.dat"}, QStringList{"--bank"}}) {
            const auto [status, err] = run(arguments);
            QCOMPARE(status, 2);
            QCOMPARE(err.count(u'\n'), 1);
            QVERIFY2(err.startsWith(QStringLiteral("vellmar-quiz: ")), qPrintable(err));
        }

        QTemporaryDir player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), player.path());
        const QString own = player.filePath(QStringLiteral("vellmar-quiz/data.dat"));
        QVERIFY(QDir().mkpath(QFileInfo(own).path()));
        QVERIFY(QFile::copy(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), own));
        const QByteArray ownBytes = readFile(own);
        const QString empty = player.filePath(QStringLiteral("empty.dat"));
        QFile(empty).open(QIODevice::WriteOnly);
        const auto [status, err] = run({QStringLiteral("--install-bank"), empty}, environment);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains(QStringLiteral("题库文件“%1”是空的").arg(empty)), qPrintable(err));
        QCOMPARE(readFile(own), ownBytes);
        QVERIFY(!QFile::exists(own + QStringLiteral(".previous")));

        QProcess quiz;
        quiz.setProcessEnvironment(environment);
        quiz.start(program, {QStringLiteral("--no-browser"), QStringLiteral("--bank"), player.filePath(QStringLiteral("none.dat"))});
        QVERIFY(bankLine(quiz, 20000).contains(QStringLiteral("找不到题库文件“%1”").arg(player.filePath(QStringLiteral("none.dat")))));
        quiz.kill();
        quiz.waitForFinished();
    }

    // Whatever stands at the bank's path, the window says in its own words
    // which file it is and what is wrong, at once, and leaves it as it was.
    void badBankIsNamedWithItsCause_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("cause");
        for (const BadFileCase &bad : badFileCases())
            QTest::newRow(bad.name) << int(bad.kind) << bad.chineseCause;
    }

    void badBankIsNamedWithItsCause()
    {
        QFETCH(int, kind);
        QFETCH(QString, cause);
        const QString folder = programFolder();
        QVERIFY(!folder.isEmpty());
        const QString bank = BankFile::DataPath(folder);
        makeBadFile(BadFile(kind), bank);
        const QStringList before = entriesOf(folder);
        const QFileInfo bankBefore(bank);

        QProcess quiz;
        start(quiz, folder);
        QElapsedTimer timer;
        timer.start();
        const QString line = bankLine(quiz, 20000);
        const qint64 elapsed = timer.elapsed();
        killGroup(quiz);
        qInfo("%s: %lld ms", QTest::currentDataTag(), elapsed);
        QVERIFY2(line.startsWith(QStringLiteral("vellmar-quiz: ")) && line.contains(QStringLiteral("“%1”").arg(bank))
                     && line.contains(cause),
                 qPrintable(line));
        QCOMPARE(entriesOf(folder), before);
        QCOMPARE(QFileInfo(bank).size(), bankBefore.size());
        QCOMPARE(QFileInfo(bank).lastModified(), bankBefore.lastModified());
    }

    // A start that works says nothing on stderr but, as root, that the
    // pages run without the sandbox: none of the engine's notes to itself.
    void aWorkingStartIsQuiet()
    {
        const QString folder = programFolder();
        QVERIFY(!folder.isEmpty());
        QVERIFY(QFile::copy(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), BankFile::DataPath(folder)));
        QTemporaryDir home;
        QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        QProcess quiz;
        quiz.setProcessEnvironment(environment);
        quiz.setChildProcessModifier(leadOwnGroup);
        quiz.start(folder + QStringLiteral("/vellmar-quiz"), QStringList());
        QVERIFY2(quiz.waitForStarted(10000), qPrintable(quiz.errorString()));
        QThread::sleep(6); // the engine has started and shown its first page by then
        QCOMPARE(quiz.state(), QProcess::Running);
        killGroup(quiz);
        QStringList lines = QString::fromUtf8(quiz.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        lines.removeAll(QStringLiteral("vellmar-quiz: warning: running as root, so web pages run without the browser's sandbox"));
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(u'\n')));
    }

    // Without its browser plugin, or with a file there that is no plugin,
    // the window starts all the same and says so once on stderr, naming the
    // file (the tab's words: tst_BrowserPluginMissing).
    void theWindowStartsWithoutItsBrowserPlugin()
    {
        const QString folder = programFolder(false);
        QVERIFY(!folder.isEmpty());
        QVERIFY(QFile::copy(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), BankFile::DataPath(folder)));
        const QString missing = folder + u'/' + QLatin1String(PluginPath);
        QCOMPARE(linesOfARunningWindow(folder),
                 QStringList{QStringLiteral("vellmar-quiz: the browser pane cannot be loaded from %1: no such file; "
                                            "the window runs without it").arg(missing)});

        QVERIFY(QDir(folder).mkdir(QStringLiteral("plugins")));
        QFile broken(missing);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a plugin");
        broken.close();
        const QStringList lines = linesOfARunningWindow(folder);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(QStringLiteral("vellmar-quiz: the browser pane cannot be loaded from %1: ").arg(missing)),
                 qPrintable(lines.first()));
    }

    // The load only reads: however early or late the window is killed, the bank is as it was.
    void killingTheWindowNeverHarmsTheBank()
    {
        const QString folder = programFolder();
        QVERIFY(!folder.isEmpty());
        const QString bank = BankFile::DataPath(folder);
        QVERIFY(QFile::copy(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), bank));
        const QByteArray bytes = readFile(bank);
        const QDateTime modified = QFileInfo(bank).lastModified();
        const QStringList before = entriesOf(folder);

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("delays from seed %u", seed);
        for (int round = 0; round < KillRounds; ++round) {
            QProcess quiz;
            start(quiz, folder);
            QThread::msleep(random.bounded(LongestKillDelayMs));
            killGroup(quiz);
            QCOMPARE(quiz.exitStatus(), QProcess::CrashExit);
            QCOMPARE(readFile(bank), bytes);
            QCOMPARE(QFileInfo(bank).lastModified(), modified);
            QCOMPARE(entriesOf(folder), before);
        }
    }
};

QTEST_GUILESS_MAIN(TestQuizProcess)
#include "tst_QuizProcess.moc"
