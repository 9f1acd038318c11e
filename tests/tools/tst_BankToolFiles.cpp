#include "BadFiles.h"
#include "ProgramRun.h"
#include "TestBanks.h"
#include "TestFiles.h"

#include "platform/Platform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sched.h>

#include <functional>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// The bank tool against what can stand where its inputs and outputs go:
// special files, links, full and read-only places, too little memory.
namespace {

using Run = ProgramRun;

// `inChild` runs in the tool's process before it starts.
Run runTool(const QStringList &arguments, const std::function<void()> &inChild = {})
{
    return runProgram(qEnvironmentVariable("VELLMAR_BANK_TOOL"), arguments, 60000, inChild);
}

// A failure is one line on stderr that names the file, and nothing on stdout.
void expectOneLineFailure(const Run &run, const QString &path, const QString &cause)
{
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(QStringLiteral("vellmar-bank: %1: ").arg(path)) && run.err.contains(cause), qPrintable(run.err));
    QVERIFY2(run.err.endsWith(u'\n') && run.err.count(u'\n') == 1, qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

struct NodeState
{
    mode_t mode = 0;
    dev_t device = 0;
    bool operator==(const NodeState &) const = default;
};

NodeState nodeState(const QString &path)
{
    struct stat info;
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {info.st_mode, info.st_rdev};
}

bool underAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
    return __has_feature(address_sanitizer);
#else
    return false;
#endif
}

// A bank of 80,000 pairs, some 1.7 million units of text: long enough for the
// search to split its scan. Every 5,000th question and the last hold "wtxy".
void writeLongBank(const QString &path)
{
    constexpr int Pairs = 80000;
    QStringList lines;
    for (int n = 0; n < Pairs; ++n) {
        const bool marked = n % 5000 == 0 || n == Pairs - 1;
        lines << QStringLiteral("问题%1-wt%2").arg(n).arg(marked ? QStringLiteral("xy") : QString());
        lines << QStringLiteral("答案%1").arg(n);
    }
    writeBankFile(path, lines);
}

// A small file system of its own, unmounted again however the test ends.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(const QString &path)
        : m_path(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        m_mounted = mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            umount(m_path.constData());
    }
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

// In the child: /proc hidden, so that no file without a name can be given
// one, and the tool writes a named temporary file instead.
void hideProc()
{
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("tmpfs", "/proc", "tmpfs", 0, nullptr) != 0)
        std::_Exit(3);
}

// `encode` of a large bank over an old output, ended by `signalNumber` at
// `delayMs`; false when the signal came after its end.
bool encodeCutShort(const QStringList &arguments, int signalNumber, int delayMs, bool withoutProc)
{
    QProcess tool;
    if (withoutProc)
        tool.setChildProcessModifier(hideProc);
    tool.start(qEnvironmentVariable("VELLMAR_BANK_TOOL"), arguments);
    if (!tool.waitForStarted())
        return false;
    if (tool.waitForFinished(delayMs))
        return false;
    const qint64 pid = tool.processId();
    if (pid <= 0) // never kill(0), which names the whole process group
        return false;
    ::kill(pid_t(pid), signalNumber);
    tool.waitForFinished();
    return tool.exitStatus() == QProcess::CrashExit;
}

} // namespace

class TestBankToolFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(qEnvironmentVariable("VELLMAR_BANK_TOOL")), "run through CTest, which names the tool");
        QVERIFY2(QFile::exists(qEnvironmentVariable("VELLMAR_SAMPLE_BANK")), "run through CTest, which names the sample bank");
    }

    // Whatever stands at an input's path, each command refuses it in one
    // line, by what it is, without blocking on it or running out of memory,
    // and creates nothing.
    void commandsRefuseBadInputs_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("cause");
        for (const BadFileCase &bad : badFileCases()) {
            for (const char *command : {"decode", "check", "search", "build"}) {
                if (bad.kind == BadFile::Empty && QLatin1String(command) == QLatin1String("build"))
                    continue; // an empty source is a source without lines, below
                QTest::addRow("%s %s", command, bad.name) << int(bad.kind) << QString::fromLatin1(command) << bad.englishCause;
            }
        }
    }

    void commandsRefuseBadInputs()
    {
        QFETCH(int, kind);
        QFETCH(QString, command);
        QFETCH(QString, cause);
        QTemporaryDir here;
        letOthersEnter(here.path());
        const QString input = here.filePath(QStringLiteral("input"));
        makeBadFile(BadFile(kind), input);
        const QStringList before = entriesOf(here.path());
        QStringList arguments{command, input};
        arguments << (command == QLatin1String("search") ? QStringLiteral("首都北京")
                      : command == QLatin1String("check") ? QString()
                                                          : here.filePath(QStringLiteral("output")));
        arguments.removeAll(QString());
        expectOneLineFailure(runTool(arguments, dropFileAccessOverride), input, cause);
        QCOMPARE(entriesOf(here.path()), before);
    }

    void bankBehindASymbolicLinkIsRead()
    {
        QTemporaryDir here;
        const QString link = here.filePath(QStringLiteral("linked.dat"));
        QVERIFY(QFile::link(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), link));
        const Run run = runTool({"search", link, "首都"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("查找到")), qPrintable(run.out + run.err));
        QCOMPARE(runTool({"check", link}).exitCode, 0);
    }

    // A bank of 2 MiB or more loads on two threads, and a long search scans
    // on two; a process that may start none still loads a bank long enough
    // for both, and one long enough for the search to share its scan, and
    // searches them, on its own thread.
    void bankLoadsWhereNoThreadMayStart()
    {
        if (!Platform::runsAsRoot())
            QSKIP("needs root, to run the tool as a user alone under a limit of one process");
        QTemporaryDir here;
        letOthersEnter(here.path());
        const QString bank = here.filePath(QStringLiteral("data.dat"));
        // Large enough to be loaded in two stretches, the second on a thread of its own.
        writeBankText(bank, QStringLiteral("中国的首都是哪里-zgdsdsnl\r\n北京\r\n").repeated(80'000));
        QVERIFY(QFileInfo(bank).size() > 2 * (1 << 20));
        const QString longBank = here.filePath(QStringLiteral("long.dat"));
        writeLongBank(longBank);
        for (const QString &file : {bank, longBank})
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        // The sanitizers' leak check at exit needs a thread, which the limit forbids.
        QByteArray sanitizerOptions = qgetenv("ASAN_OPTIONS");
        sanitizerOptions += ":detect_leaks=0";
        // Not nobody (65534): other programs run as nobody, and their
        // processes count against the limit too, so that exec itself fails.
        constexpr uid_t LoneUser = 65533;
        const auto aloneAsAUser = [&sanitizerOptions] {
            setenv("ASAN_OPTIONS", sanitizerOptions.constData(), 1);
            const rlimit oneProcess{1, 1};
            if (setrlimit(RLIMIT_NPROC, &oneProcess) != 0 || setgid(LoneUser) != 0 || setuid(LoneUser) != 0)
                std::_Exit(3);
        };
        const Run run = runTool({"search", bank, "首都"}, aloneAsAUser);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("查找到")), qPrintable(run.all()));
        // Hits in the lead, in both halves, and at the very end.
        const Run longRun = runTool({"search", "--json", longBank, "wtxy"}, aloneAsAUser);
        QCOMPARE(longRun.exitCode, 0);
        QVERIFY2(longRun.out.contains(QStringLiteral("\"问题0\"")) && longRun.out.contains(QStringLiteral("\"问题79999\"")),
                 qPrintable(longRun.all()));
        QCOMPARE(longRun.out.count(QStringLiteral("\"问题")), 17);
    }

    void outputThatIsNoRegularFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("cause");
        QTest::newRow("character device") << "device" << "exists and is a character device, not a regular file";
        QTest::newRow("link to a character device") << "device link" << "exists and is a character device, not a regular file";
        QTest::newRow("FIFO") << "fifo" << "exists and is a FIFO (named pipe), not a regular file";
        QTest::newRow("folder") << "folder" << "exists and is a folder, not a regular file";
        QTest::newRow("link to nothing") << "dangling link" << "a symbolic link to a file that does not exist";
    }

    void outputThatIsNoRegularFileIsLeftAlone()
    {
        QFETCH(QString, node);
        QFETCH(QString, cause);
        QTemporaryDir here;
        const QString output = here.filePath(QStringLiteral("out"));
        const QByteArray nativeOutput = QFile::encodeName(output);
        const QByteArray device = QFile::encodeName(here.filePath(QStringLiteral("null")));
        if (node.startsWith(QLatin1String("device"))) {
            if (!Platform::runsAsRoot())
                QSKIP("making a device node needs root");
            // A private null device, so no system file is ever at stake.
            QCOMPARE(mknod(node == QLatin1String("device") ? nativeOutput.constData() : device.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
            if (node == QLatin1String("device link"))
                QVERIFY(QFile::link(QStringLiteral("null"), output));
        }
        if (node == QLatin1String("fifo"))
            QCOMPARE(mkfifo(nativeOutput.constData(), 0644), 0);
        if (node == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(output));
        if (node == QLatin1String("dangling link"))
            QVERIFY(QFile::link(QStringLiteral("nowhere"), output));
        const NodeState state = nodeState(output);
        const QStringList before = entriesOf(here.path());
        expectOneLineFailure(runTool({"decode", qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), output}), output, cause);
        QVERIFY(nodeState(output) == state);
        QCOMPARE(entriesOf(here.path()), before);
    }

    void outputThatIsTheInputIsRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("same path") << "same";
        QTest::newRow("same path through ./") << "dot";
        QTest::newRow("hard link") << "hard";
        QTest::newRow("symbolic link") << "symbolic";
    }

    void outputThatIsTheInputIsRefused()
    {
        QFETCH(QString, how);
        QTemporaryDir here;
        const QString input = here.filePath(QStringLiteral("bank.dat"));
        const QByteArray bank = readFile(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"));
        writeFile(input, bank);
        QString output = input;
        if (how == QLatin1String("dot"))
            output = here.path() + QStringLiteral("/./bank.dat");
        if (how == QLatin1String("hard")) {
            output = here.filePath(QStringLiteral("hard.dat"));
            QCOMPARE(link(QFile::encodeName(input).constData(), QFile::encodeName(output).constData()), 0);
        }
        if (how == QLatin1String("symbolic")) {
            output = here.filePath(QStringLiteral("soft.dat"));
            QVERIFY(QFile::link(QStringLiteral("bank.dat"), output));
        }
        writeFile(here.filePath(QStringLiteral("q.txt")), QByteArray("问题\n答案\n"));
        const QStringList before = entriesOf(here.path());
        for (const char *command : {"decode", "encode", "export", "build"})
            expectOneLineFailure(runTool({command, input, output}), output, "input and output are the same file");
        // Every input counts, the readings file too.
        expectOneLineFailure(runTool({"build", "-r", input, here.filePath(QStringLiteral("q.txt")), output}), output,
                             "input and output are the same file");
        QCOMPARE(readFile(input), bank);
        QCOMPARE(entriesOf(here.path()), before);
    }

    void outputThatCannotBeWrittenNamesTheCause_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing folder") << "missing" << "cannot write: cannot create a file in the folder %1: No such file or directory";
        QTest::newRow("read-only folder") << "read-only" << "cannot write: cannot create a file in the folder %1: Permission denied";
        QTest::newRow("full file system") << "full" << "cannot write: No space left on device";
    }

    // The old output stays as it was, and no temporary file is left behind.
    void outputThatCannotBeWrittenNamesTheCause()
    {
        QFETCH(QString, where);
        QFETCH(QString, cause);
        QTemporaryDir here;
        const QString folder = here.filePath(where);
        const QString output = folder + QStringLiteral("/out.dat");
        const QString input = here.filePath(QStringLiteral("plain.txt"));
        // Larger than the small file system holds.
        writeFile(input, QByteArray(200 * 1024, 'q'));
        std::optional<SmallFileSystem> small;
        if (where == QLatin1String("full")) {
            if (!Platform::runsAsRoot())
                QSKIP("mounting a 64 KiB tmpfs needs root");
            small.emplace(folder);
            if (!small->mounted())
                QSKIP("this machine does not let the test mount a tmpfs");
        }
        if (where != QLatin1String("missing")) {
            QDir().mkpath(folder);
            writeFile(output, "old output");
        }
        if (where == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther));
        const QStringList before = entriesOf(folder);
        expectOneLineFailure(runTool({"encode", input, output}, dropFileAccessOverride), output, cause.arg(folder));
        QCOMPARE(readFile(input), QByteArray(200 * 1024, 'q'));
        QCOMPARE(entriesOf(folder), before);
        if (where != QLatin1String("missing"))
            QCOMPARE(readFile(output), QByteArray("old output"));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void dashWritesStandardOutput()
    {
        const QString bank = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");
        const Run run = runTool({"decode", bank, "-"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.toUtf8().size() > 0, true);
        // Every report that cannot be written is a failure, whatever the command.
        QTemporaryDir here;
        const QString source = here.filePath(QStringLiteral("q.txt"));
        writeFile(source, QByteArray("中国的首都？\n北京\n"));
        const QList<QStringList> reports{{"decode", bank, "-"}, {"export", bank, "-"}, {"search", bank, "中国的首"},
                                         {"search", "--json", bank, "中国的首"}, {"check", bank}, {"lint", source},
                                         {"lint", "--json", source}, {"diff", source, bank}, {"diff", "--json", bank, bank},
                                         {"initials", "中国"}, {"--help"}, {"--version"}};
        for (const QStringList &arguments : reports) {
            QProcess full;
            full.setStandardOutputFile(QStringLiteral("/dev/full"));
            full.start(qEnvironmentVariable("VELLMAR_BANK_TOOL"), arguments);
            QVERIFY(full.waitForFinished(60000));
            QVERIFY2(full.exitCode() == 1, qPrintable(arguments.join(' ')));
            QVERIFY2(QString::fromUtf8(full.readAllStandardError())
                         .endsWith(QStringLiteral("vellmar-bank: standard output: cannot write: No space left on device\n")),
                     qPrintable(arguments.join(' ')));
        }
    }

    // A signal while the output is written leaves the old output whole and
    // no temporary file: a file without a name until it is whole, or, where
    // it cannot be named, a named one that the catchable signals remove.
    void interruptedWriteLeavesTheOldOutput_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("withoutProc");
        for (const auto &[name, number] : {std::pair{"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}}) {
            QTest::addRow("%s", name) << number << false;
            QTest::addRow("%s, named temporary file", name) << number << true;
        }
        QTest::addRow("SIGKILL") << int(SIGKILL) << false;
    }

    void interruptedWriteLeavesTheOldOutput()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, withoutProc);
        if (withoutProc && geteuid() != 0)
            QSKIP("hiding /proc needs the superuser");
        QTemporaryDir here;
        const QString plain = here.filePath(QStringLiteral("plain.txt"));
        const QString output = here.filePath(QStringLiteral("out.dat"));
        writeFile(plain, QByteArray(32 << 20, 'a'));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(runTool({"encode", plain, output}).exitCode, 0);
        const int wholeRunMs = int(timer.elapsed());
        const QByteArray written = readFile(output);
        const QByteArray old("the old output\r\n");
        int cutShort = 0;
        for (int step = 1; step <= 6; ++step) {
            writeFile(output, old);
            cutShort += encodeCutShort({"encode", plain, output}, signalNumber, wholeRunMs * step / 6, withoutProc);
            const QByteArray after = readFile(output);
            QVERIFY2(after == old || after == written, qPrintable(QString::number(after.size())));
            // Nothing can remove the file a kill catches between its naming
            // and its rename over the output, so that one is left there,
            // whole: never a part of it.
            for (const QString &entry : entriesOf(here.path())) {
                if (signalNumber == SIGKILL && entry.startsWith(QLatin1String(".out.dat."))) {
                    QCOMPARE(readFile(here.filePath(entry)), written);
                    QVERIFY(QFile::remove(here.filePath(entry)));
                }
            }
            QCOMPARE(entriesOf(here.path()), QStringList({"out.dat", "plain.txt"}));
        }
        QVERIFY(cutShort > 0);
    }

    // A bank of the largest size passes the size check; where memory is short,
    // that is said in one line instead of ending in an abort.
    void memoryThatRunsOutIsAMessage()
    {
        if (underAddressSanitizer())
            QSKIP("AddressSanitizer reserves more address space than the limit this test sets");
        QTemporaryDir here;
        const QString bank = here.filePath(QStringLiteral("largest.dat"));
        QFile file(bank);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(0x7fffffff));
        file.close();
        const auto oneGibibyte = [] {
            const rlimit limit{rlim_t(1) << 30, rlim_t(1) << 30};
            setrlimit(RLIMIT_AS, &limit);
        };
        for (const QStringList &arguments : {QStringList{"check", bank}, QStringList{"search", bank, "首都北京"},
                                             QStringList{"decode", bank, here.filePath(QStringLiteral("out"))}}) {
            expectOneLineFailure(runTool(arguments, oneGibibyte), bank, "not enough memory to load it (2147483647 bytes)");
        }
        QCOMPARE(entriesOf(here.path()), QStringList{"largest.dat"});
    }
};

QTEST_GUILESS_MAIN(TestBankToolFiles)
#include "tst_BankToolFiles.moc"
