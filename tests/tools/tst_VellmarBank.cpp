#include "ReferenceRc4.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("VELLMAR_BANK_TOOL"), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString gbk(const QByteArray &bytes)
{
    return QStringDecoder("GBK").decode(bytes);
}

} // namespace

class TestVellmarBank : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(qEnvironmentVariable("VELLMAR_BANK_TOOL")), "run through CTest, which names the tool");
        QVERIFY2(QFile::exists(qEnvironmentVariable("VELLMAR_SAMPLE_BANK")), "run through CTest, which names the sample bank");
    }

    void sampleBankIsStandardRc4OverGbkLines()
    {
        const QByteArray plain = referenceRc4("5380", readFile(qEnvironmentVariable("VELLMAR_SAMPLE_BANK")));
        QVERIFY(plain.endsWith("\r\n"));
        const QStringList lines = gbk(plain).split(QStringLiteral("\r\n"));
        QVERIFY2(lines.size() / 2 >= 300, qPrintable(QString::number(lines.size())));
        QVERIFY(lines.contains(QStringLiteral("中国的首都是哪座城市？-zgdsdsnzcs")));
        QVERIFY(!gbk(plain).contains(QChar::ReplacementCharacter));
    }

    void buildWritesGbkCrLfLinesEnciphered()
    {
        writeFile(path("source.txt"), QStringLiteral("\uFEFF问题一-wty\r\n答案\n问题二-wte\nB\n").toUtf8());
        const Run run = runTool({"build", path("source.txt"), path("bank.dat")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(gbk(referenceRc4("5380", readFile(path("bank.dat")))), QStringLiteral("问题一-wty\r\n答案\r\n问题二-wte\r\nB\r\n"));
        QCOMPARE(runTool({"check", path("bank.dat")}).exitCode, 0);
    }

    void buildRejectsBadSourcesAndWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("message");
        QTest::newRow("not in GBK") << QStringLiteral("问题-wt\n答案\n好😀题-ht\n答\n").toUtf8() << "line 3, column 2: character '😀' (U+1F600)";
        QTest::newRow("odd lines") << QByteArray("q-a\nanswer\nq2-b\n") << "line 3: question without an answer";
        QTest::newRow("not UTF-8") << QByteArray("q-a\n\xff\xfe\n") << "line 2: not valid UTF-8";
        QTest::newRow("empty") << QByteArray() << "no lines";
    }

    void buildRejectsBadSourcesAndWritesNothing()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, message);
        writeFile(path("bad.txt"), source);
        writeFile(path("old.dat"), "previous bank");
        const Run run = runTool({"build", path("bad.txt"), path("old.dat")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path("bad.txt")) && run.err.contains(message), qPrintable(run.err));
        QCOMPARE(readFile(path("old.dat")), QByteArray("previous bank"));
        QCOMPARE(QDir(dir.path()).entryList({"old.dat*"}, QDir::Files), QStringList{"old.dat"});
    }

    void encodeAndDecodeAreInverse()
    {
        const QByteArray plain = "\xca\xd7\xb6\xbc-sd\r\n\xb1\xb1\xbe\xa9\r\n";
        writeFile(path("plain.txt"), plain);
        QCOMPARE(runTool({"encode", path("plain.txt"), path("enc.dat")}).exitCode, 0);
        QCOMPARE(readFile(path("enc.dat")), referenceRc4("5380", plain));
        QCOMPARE(runTool({"decode", path("enc.dat"), path("back.txt")}).exitCode, 0);
        QCOMPARE(readFile(path("back.txt")), plain);
        const Run same = runTool({"decode", path("enc.dat"), path("enc.dat")});
        QCOMPARE(same.exitCode, 1);
        QCOMPARE(readFile(path("enc.dat")), referenceRc4("5380", plain));
    }

    void searchPrintsJson()
    {
        const QString bank = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");
        const QByteArray before = readFile(bank);
        const Run run = runTool({"search", "--json", bank, "首都"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject result = QJsonDocument::fromJson(run.out.toUtf8()).object();
        const int hits = result.value("hits").toInt();
        QVERIFY(hits >= 1 && hits <= 20);
        QCOMPARE(result.value("status").toString(), QStringLiteral("查找到%1条").arg(hits));
        QCOMPARE(result.value("questions").toArray().size(), hits);
        QVERIFY(result.value("questions").toArray().contains(QStringLiteral("中国的首都是哪座城市？")));
        QCOMPARE(result.value("answers").toArray().size(), hits);
        QCOMPARE(readFile(bank), before);
    }

    void searchOutputForms()
    {
        const QString bank = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");
        QCOMPARE(runTool({"search", "--json", bank, "首a"}).out, QStringLiteral("null\n"));
        const Run tooShort = runTool({"search", bank, "abc"});
        QCOMPARE(tooShort.exitCode, 0);
        QVERIFY(tooShort.out.isEmpty());
        QVERIFY(tooShort.err.contains(QStringLiteral("3 bytes")));
        const QStringList plain = runTool({"search", bank, "2008NAY"}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(plain.first(), QStringLiteral("查找到%1条").arg(plain.size() - 1));
        QVERIFY(plain.contains(QStringLiteral("2008年奥运会在哪个城市举办？\t北京")));
        QCOMPARE(runTool({"search", "--json", bank, "zzzzqqqq"}).out,
                 QStringLiteral("{\"status\": \"未查询到先关问题\", \"hits\": 0, \"questions\": [], \"answers\": []}\n"));
    }

    void checkReportsProblems()
    {
        writeFile(path("plain.txt"), "no dash\r\nanswer\r\nq-x\r\n\x81\x30\r\nlast question");
        QCOMPARE(runTool({"encode", path("plain.txt"), path("bad.dat")}).exitCode, 0);
        const Run run = runTool({"check", path("bad.dat")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains("lines: 5") && run.out.contains("pairs: 2") && run.out.contains("unpaired last line: line 5")
                     && run.out.contains("without \"-\": 1 (lines 1)") && run.out.contains("undecodable bytes: 1 (lines 4)"),
                 qPrintable(run.out));
        QCOMPARE(runTool({"check", qEnvironmentVariable("VELLMAR_SAMPLE_BANK")}).exitCode, 0);
    }

    void errorsNameTheFile()
    {
        const Run missing = runTool({"search", path("nowhere.dat"), "首都"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains(path("nowhere.dat")));
        QVERIFY(!QFile::exists(path("nowhere.dat")));
        // Every command answers in the tool's one language.
        const Run decode = runTool({"decode", path("nowhere.dat"), path("out.txt")});
        QCOMPARE(decode.exitCode, 1);
        QVERIFY2(decode.err.contains(path("nowhere.dat") + ": no such file"), qPrintable(decode.err));
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(runTool({"frobnicate"}).exitCode, 2);
        QCOMPARE(runTool({"build", path("x")}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestVellmarBank)
#include "tst_VellmarBank.moc"
