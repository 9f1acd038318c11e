#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Installs the build into a temporary prefix and starts the installed
// programs from there, as a user would after `make install`.
class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir prefix;

    QString installed(const QString &path) const { return prefix.filePath(path); }

    // The shared libraries the dynamic linker loads for `file`, by name.
    static QString linkedLibraries(const QString &file)
    {
        const ProgramRun ldd = runProgram(QStringLiteral("ldd"), {file});
        return ldd.succeeded() ? ldd.out : QString();
    }

    // Starts the window and, once it has had time to load its bank and,
    // with the browser, the plugin and the engine, looks at it running.
    template <class Look>
    static auto whileRunning(const QString &program, const QStringList &arguments, Look look)
    {
        QProcess window;
        window.start(program, arguments);
        const bool started = window.waitForStarted(10000);
        if (started)
            QTest::qWait(3000);
        auto seen = look(started ? window.processId() : 0);
        window.kill();
        window.waitForFinished();
        return seen;
    }

    static QString procFile(qint64 process, const QString &name)
    {
        QFile file(QStringLiteral("/proc/%1/%2").arg(process).arg(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    static QString mappedBy(const QString &program, const QStringList &arguments)
    {
        return whileRunning(program, arguments, [](qint64 window) { return procFile(window, QStringLiteral("maps")); });
    }

    // Kilobytes resident of the first pages of `library` in `process`: the
    // part that holds the loader's tables.
    static int residentAtStartOf(qint64 process, const QString &library)
    {
        const QStringList lines = procFile(process, QStringLiteral("smaps")).split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringList fields = lines[i].split(u' ', Qt::SkipEmptyParts);
            if (fields.size() < 6 || !fields[5].contains(library) || fields[2].toULongLong(nullptr, 16) != 0)
                continue;
            for (qsizetype j = i + 1; j < lines.size(); ++j) {
                if (lines[j].startsWith(QLatin1String("Rss:")))
                    return lines[j].split(u' ', Qt::SkipEmptyParts).value(1).toInt();
            }
        }
        return -1;
    }

    // Starts the window offscreen and says whether it is still up, bank
    // loaded, after the time a failing start needs to report. Its stderr
    // goes to `err`.
    bool windowStays(const QString &program, QString *err)
    {
        QProcess window;
        window.start(program, QStringList());
        if (!window.waitForStarted(10000)) {
            *err = window.errorString();
            return false;
        }
        const bool ended = window.waitForFinished(8000);
        if (!ended) {
            window.kill();
            window.waitForFinished();
        }
        *err = QString::fromUtf8(window.readAllStandardError());
        // A bank that cannot be loaded is reported on stderr, and then a
        // message box waits for the user.
        return !ended && !err->contains(QStringLiteral("题库"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(prefix.isValid());
        const ProgramRun install = runProgram(qEnvironmentVariable("VELLMAR_CMAKE"),
                                        {QStringLiteral("--install"), qEnvironmentVariable("VELLMAR_BUILD_DIR"),
                                         QStringLiteral("--prefix"), prefix.path()});
        QVERIFY2(install.succeeded(), qPrintable(install.all()));
    }

    void windowAndBankLieTogether()
    {
        for (const char *file : {"lib/vellmar-quiz/vellmar-quiz", "lib/vellmar-quiz/data.dat",
                                 "lib/vellmar-quiz/plugins/vellmar-browser-pane.so",
                                 "lib/vellmar-quiz/plugins/vellmar-text-recogniser.so", "bin/vellmar-bank"})
            QVERIFY2(QFileInfo(installed(QLatin1String(file))).isFile(), file);
        const QFileInfo link(installed(QStringLiteral("bin/vellmar-quiz")));
        QVERIFY(link.isSymLink());
        QCOMPARE(link.symLinkTarget(), QFileInfo(installed(QStringLiteral("lib/vellmar-quiz/vellmar-quiz"))).absoluteFilePath());
        QCOMPARE(QFileInfo(installed(QStringLiteral("lib/vellmar-quiz/data.dat"))).size(),
                 QFileInfo(qEnvironmentVariable("VELLMAR_SAMPLE_BANK")).size());
    }

    // The browser engine, and Qt Quick and QML with it, are the plugin's
    // alone: the window links none of them, and loads the plugin (and so the
    // engine) only when the browser is turned on.
    void onlyTheBrowsersPluginLinksTheEngine()
    {
        const QString window = linkedLibraries(installed(QStringLiteral("lib/vellmar-quiz/vellmar-quiz")));
        QVERIFY2(window.contains(QStringLiteral("libQt6Widgets")), qPrintable(window));
        for (const char *engineSide : {"WebEngine", "Qt6Quick", "Qt6Qml", "WebChannel", "Positioning"})
            QVERIFY2(!window.contains(QLatin1String(engineSide)), engineSide);
        const QString plugin = installed(QStringLiteral("lib/vellmar-quiz/plugins/vellmar-browser-pane.so"));
        QVERIFY(linkedLibraries(plugin).contains(QStringLiteral("libQt6WebEngineWidgets")));

        const QString withBrowser = mappedBy(installed(QStringLiteral("bin/vellmar-quiz")), {});
        QVERIFY2(withBrowser.contains(QFileInfo(plugin).canonicalFilePath()), qPrintable(withBrowser));
        QVERIFY(withBrowser.contains(QStringLiteral("libQt6WebEngineCore")));
        const QString withoutBrowser = mappedBy(installed(QStringLiteral("bin/vellmar-quiz")), {QStringLiteral("--no-browser")});
        QVERIFY(withoutBrowser.contains(QStringLiteral("libQt6Widgets")));
        QVERIFY(!withoutBrowser.contains(QStringLiteral("vellmar-browser-pane")));
        QVERIFY(!withoutBrowser.contains(QStringLiteral("WebEngine")));
    }

    // The engine's pages run in the program's own page process, and neither
    // it nor the window keeps the engine's relocation table (11 MB) resident
    // once it is loaded.
    void enginesPagesRunInTheProgramsOwnProcess()
    {
        const QString renderer = installed(QStringLiteral("lib/vellmar-quiz/plugins/vellmar-renderer"));
        QVERIFY(QFileInfo(renderer).isExecutable());
        struct Process
        {
            QString program;
            int tableKilobytes;
        };
        const QList<Process> tree = whileRunning(installed(QStringLiteral("bin/vellmar-quiz")), {}, [](qint64 window) {
            QList<Process> tree;
            // Each thread lists the children it started.
            QString children;
            for (const QString &thread : QDir(QStringLiteral("/proc/%1/task").arg(window)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                children += procFile(window, QStringLiteral("task/%1/children").arg(thread));
            for (const QString &process : QStringList{QString::number(window)} + children.split(u' ', Qt::SkipEmptyParts))
                tree.append({QFileInfo(QStringLiteral("/proc/%1/exe").arg(process)).symLinkTarget(),
                             residentAtStartOf(process.toLongLong(), QStringLiteral("libQt6WebEngineCore"))});
            return tree;
        });
        QCOMPARE(tree.size(), 2);
        QCOMPARE(tree[1].program, QFileInfo(renderer).canonicalFilePath());
        for (const Process &process : tree)
            QVERIFY2(process.tableKilobytes >= 0 && process.tableKilobytes < 2048,
                     qPrintable(QStringLiteral("%1: %2 kB").arg(process.program).arg(process.tableKilobytes)));
    }

    // So is the OCR engine the text recogniser's, which the window loads at
    // the first reading of the screen and not before.
    void onlyTheRecognisersPluginLinksTheOcr()
    {
        const QString window = linkedLibraries(installed(QStringLiteral("lib/vellmar-quiz/vellmar-quiz")));
        QVERIFY2(window.contains(QStringLiteral("libQt6Widgets")), qPrintable(window));
        for (const char *ocrSide : {"libtesseract", "liblept"})
            QVERIFY2(!window.contains(QLatin1String(ocrSide)), ocrSide);
        const QString plugin = linkedLibraries(installed(QStringLiteral("lib/vellmar-quiz/plugins/vellmar-text-recogniser.so")));
        QVERIFY2(plugin.contains(QStringLiteral("libtesseract")) && plugin.contains(QStringLiteral("liblept")), qPrintable(plugin));

        const QString started = mappedBy(installed(QStringLiteral("bin/vellmar-quiz")), {QStringLiteral("--no-browser")});
        QVERIFY(started.contains(QStringLiteral("libQt6Widgets")));
        QVERIFY(!started.contains(QStringLiteral("vellmar-text-recogniser")));
        QVERIFY(!started.contains(QStringLiteral("libtesseract")));
    }

    void desktopFilesAreInstalled()
    {
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString icon = installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/vellmar-quiz.png").arg(size));
            QVERIFY2(QImage(icon).size() == QSize(size, size), qPrintable(icon));
        }
        for (const char *file : {"share/man/man1/vellmar-quiz.1.gz", "share/man/man1/vellmar-bank.1.gz",
                                 "share/doc/vellmar-quiz/copyright", "share/doc/vellmar-quiz/changelog.gz"})
            QVERIFY2(QFileInfo(installed(QLatin1String(file))).isFile(), file);

        const ProgramRun entry = runProgram(QStringLiteral("desktop-file-validate"),
                                      {installed(QStringLiteral("share/applications/vellmar-quiz.desktop"))});
        QVERIFY2(entry.succeeded() && entry.all().isEmpty(), qPrintable(entry.all()));
        const ProgramRun metainfo = runProgram(QStringLiteral("appstreamcli"),
                                         {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                          installed(QStringLiteral("share/metainfo/example.vellmar.quiz.metainfo.xml"))});
        QVERIFY2(metainfo.succeeded(), qPrintable(metainfo.all()));
        QVERIFY2(!metainfo.all().contains(QStringLiteral("W: ")), qPrintable(metainfo.all()));
    }

    void bothProgramsTellTheOneVersion()
    {
        const QString version = qEnvironmentVariable("VELLMAR_VERSION");
        for (const char *program : {"bin/vellmar-quiz", "bin/vellmar-bank"}) {
            const ProgramRun run = runProgram(installed(QLatin1String(program)), {QStringLiteral("--version")});
            QVERIFY2(run.succeeded(), qPrintable(run.all()));
            QCOMPARE(run.out, QFileInfo(QLatin1String(program)).fileName() + u' ' + version + u'\n');
        }
        const ProgramRun help = runProgram(installed(QStringLiteral("bin/vellmar-bank")), {QStringLiteral("--help")});
        QVERIFY2(help.succeeded() && help.out.contains(QStringLiteral("build")), qPrintable(help.all()));
    }

    // The program's folder is where the program file really is: a link to
    // it anywhere finds the bank, a copy without a bank beside it does not.
    void installedWindowFindsItsBankThroughTheLink()
    {
        QString err;
        QVERIFY2(windowStays(installed(QStringLiteral("bin/vellmar-quiz")), &err), qPrintable(err));

        const QString elsewhere = installed(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QFile::link(installed(QStringLiteral("lib/vellmar-quiz/vellmar-quiz")), elsewhere + "/link"));
        QVERIFY2(windowStays(elsewhere + "/link", &err), qPrintable(err));

        QVERIFY(QFile::copy(installed(QStringLiteral("lib/vellmar-quiz/vellmar-quiz")), elsewhere + "/copy"));
        QVERIFY(!windowStays(elsewhere + "/copy", &err));
        QVERIFY2(err.contains(QDir::toNativeSeparators(elsewhere + "/data.dat")), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_Install.moc"
