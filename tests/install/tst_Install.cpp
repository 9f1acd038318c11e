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

    // What the running window has mapped, once it has had time to load its
    // bank and, with the browser, the plugin and the engine.
    static QString mappedBy(const QString &program, const QStringList &arguments)
    {
        QProcess window;
        window.start(program, arguments);
        if (!window.waitForStarted(10000))
            return {};
        QTest::qWait(3000);
        QFile maps(QStringLiteral("/proc/%1/maps").arg(window.processId()));
        const QString mapped = maps.open(QIODevice::ReadOnly) ? QString::fromUtf8(maps.readAll()) : QString();
        window.kill();
        window.waitForFinished();
        return mapped;
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
