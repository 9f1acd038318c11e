#include "ProgramRun.h"
#include "ReferenceRc4.h"
#include "TestBanks.h"
#include "TestFiles.h"

#include "bank/BankReader.h"
#include "search/SearchQuestions.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

using Run = ProgramRun;

Run runTool(const QStringList &arguments)
{
    return runProgram(qEnvironmentVariable("VELLMAR_BANK_TOOL"), arguments, 60000);
}

QString gbk(const QByteArray &bytes)
{
    return QStringDecoder("GBK").decode(bytes);
}

QString plainOf(const QString &bank)
{
    return gbk(referenceRc4("5380", readFile(bank)));
}

QJsonObject jsonOf(const Run &run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// The shortest start of `text` that is long enough to search: two Chinese
// characters, or four ASCII ones.
QString leadingQuery(const QString &text)
{
    qsizetype length = 1;
    while (length < text.size() && CodePage::ansiByteCount(text.first(length)) <= QueryByteThreshold)
        ++length;
    return text.first(length);
}

bool hasFinding(const QJsonObject &lint, int line, const QString &severity, const QString &kind)
{
    const QJsonArray findings = lint.value("findings").toArray();
    return std::any_of(findings.begin(), findings.end(), [&](const QJsonValue &value) {
        const QJsonObject finding = value.toObject();
        return finding.value("line").toInt() == line && finding.value("severity").toString() == severity
            && finding.value("kind").toString() == kind;
    });
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
        QTest::newRow("character cut off at the line's end") << QByteArray("q\xe9\x88\r\na\n") << "line 1: not valid UTF-8";
        QTest::newRow("empty") << QByteArray() << "no lines";
        // A blank line would turn every question after it into an answer.
        QTest::newRow("blank line, odd count") << QByteArray("Q1\nA1\n\nQ2\nA2\n") << "line 3: blank line where a question belongs";
        QTest::newRow("blank line, even count") << QByteArray("Q1\nA1\n \nQ2\n") << "line 3: blank line where a question belongs";
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
        // Initials follow a "-": everything after the bank is the query, after "--" too.
        const Run dash = runTool({"search", bank, "-zgds"});
        QCOMPARE(dash.exitCode, 0);
        QVERIFY2(dash.out.contains(QStringLiteral("中国的首都是哪座城市？\t北京")), qPrintable(dash.all()));
        QCOMPARE(runTool({"search", bank, "--", "-zgds"}).out, dash.out);
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

    // The format allows a question line without "-": check warns, and succeeds.
    void checkWarnsOfQuestionsWithoutDash()
    {
        writeBankText(path("bare.dat"), QStringLiteral("没有首字母的问题\r\n答案\r\n"));
        const Run run = runTool({"check", path("bare.dat")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("without \"-\": 1 (lines 1) (warning") && run.out.endsWith("ok\n"), qPrintable(run.out));
    }

    void buildFillsInInitials()
    {
        writeFile(path("bare.txt"),
                  QStringLiteral("2008年奥运会在哪个城市举办？\n北京\n维生素C缺乏会得什么病\n坏血病\n第２０个节气-written\n答\n《F1》　赛车\n是\n")
                      .toUtf8());
        const Run run = runTool({"build", path("bare.txt"), path("filled.dat")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(plainOf(path("filled.dat")).split("\r\n"),
                 QStringList({"2008年奥运会在哪个城市举办？-2008nayhzngcsjb", "北京", "维生素C缺乏会得什么病-wsscqfhdsmb", "坏血病",
                              "第２０个节气-written", "答", "《F1》　赛车-f1sc", "是", ""}));
        const Run found = runTool({"search", "--json", path("filled.dat"), "wssc"});
        QCOMPARE(jsonOf(found).value("questions").toArray(), QJsonArray{"维生素C缺乏会得什么病"});
        // 会 has readings that start with h and k; nothing settled which one.
        QVERIFY2(run.err.contains(path("bare.txt") + ":3: warning: several readings for 会"), qPrintable(run.err));
        QCOMPARE(runTool({"build", "--no-initials", path("bare.txt"), path("kept.dat")}).exitCode, 0);
        QVERIFY(plainOf(path("kept.dat")).startsWith("2008年奥运会在哪个城市举办？\r\n"));
    }

    void buildTakesTheMakersReadings()
    {
        writeFile(path("banks.txt"), QStringLiteral("中国银行在哪里？\n北京\n重庆银行行长是谁？\n不知道\n").toUtf8());
        writeFile(path("readings.txt"), QStringLiteral("# chosen readings\n银行 yh\n\n银行行长 yhhz\n重庆 cq\n").toUtf8());
        const Run run = runTool({"build", "--verbose", "--readings", path("readings.txt"), path("banks.txt"), path("banks.dat")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(plainOf(path("banks.dat")), QStringLiteral("中国银行在哪里？-zgyhznl\r\n北京\r\n重庆银行行长是谁？-cqyhhzss\r\n不知道\r\n"));
        // The longer word wins over the shorter one inside it.
        QVERIFY2(run.err.contains(path("banks.txt") + ":3: read \"银行行长\" as \"yhhz\" (" + path("readings.txt") + ":4)"),
                 qPrintable(run.err));
        QVERIFY2(!run.err.contains("warning"), qPrintable(run.err));
        QCOMPARE(runTool({"initials", "-r", path("readings.txt"), "中国银行"}).out, QStringLiteral("zgyh\n"));
        // Without the file the dictionary's word settles 银行; nothing settles 长 alone.
        QCOMPARE(runTool({"initials", "中国银行"}).out, QStringLiteral("zgyh\n"));
        const Run unsettled = runTool({"initials", "长"});
        QCOMPARE(unsettled.out, QStringLiteral("z\n"));
        QVERIFY2(unsettled.err.contains("several readings for 长 (cz; \"z\" taken)"), qPrintable(unsettled.err));
    }

    void buildRejectsBadReadings_data()
    {
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("message");
        QTest::newRow("no initials") << "银行\n" << "line 1: expected a word";
        QTest::newRow("too few") << "# c\n银行 y\n" << "line 2: \"银行\" has 2 characters with initials but \"y\" gives 1";
        QTest::newRow("upper case") << "银行 YH\n" << "line 1: initials \"YH\" must be lower-case";
        QTest::newRow("twice") << "银行 yh\n中国 zg\n银行 yx\n" << "line 3: \"银行\" is already given on line 1";
    }

    void buildRejectsBadReadings()
    {
        QFETCH(QString, readings);
        QFETCH(QString, message);
        writeFile(path("q.txt"), QStringLiteral("中国银行\n北京\n").toUtf8());
        writeFile(path("bad-readings.txt"), readings.toUtf8());
        const Run run = runTool({"build", "--readings", path("bad-readings.txt"), path("q.txt"), path("none.dat")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path("bad-readings.txt") + ": " + message), qPrintable(run.err));
        QVERIFY(!QFile::exists(path("none.dat")));
    }

    // The sample's source holds no initials; its readings file makes the
    // built bank search exactly as the bank with hand-written initials did.
    void sampleSearchesAsWithHandWrittenInitials()
    {
        const QString sample = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");
        QCOMPARE(runTool({"build", qEnvironmentVariable("VELLMAR_HAND_INITIALS"), path("hand.dat")}).exitCode, 0);
        BankReader reader;
        QuestionLines filled, hand;
        QVERIFY(reader.readQuestionLines(sample, filled) && reader.readQuestionLines(path("hand.dat"), hand));
        QCOMPARE(linesOf(filled), linesOf(hand));
        QVERIFY(filled.pairCount() >= 500);
        for (qsizetype index = 0; index + 1 < filled.size(); index += 2) {
            const QString line = filled.at(index).toString();
            const QString question = line.section('-', 0, 0);
            for (const QString &query : {line.section('-', 1).left(4), leadingQuery(question)}) {
                const std::optional<SearchResult> result = SearchQuestions(filled, query);
                QVERIFY2(result, qPrintable(query));
                // Found, unless twenty questions before it match too, or the
                // query holds capitals, which the search lower-cases (lint warns of those).
                const bool findable = query == query.toLower();
                QVERIFY2(!findable || result->Questions.contains(question) || (result->HitCount == MaxHits && line.contains(query)),
                         qPrintable(line + " / " + query));
                QCOMPARE(result->Questions, SearchQuestions(hand, query)->Questions);
            }
        }
    }

    void sampleHasNoLintErrors()
    {
        const QString readings = qEnvironmentVariable("VELLMAR_SAMPLE_READINGS");
        for (const QString &file : {qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), qEnvironmentVariable("VELLMAR_SAMPLE_SOURCE")}) {
            const Run run = runTool({"lint", "--json", "--readings", readings, file});
            QCOMPARE(run.exitCode, 0);
            const QJsonObject lint = jsonOf(run);
            QCOMPARE(lint.value("errors").toInt(), 0);
            QVERIFY(lint.value("pairs").toInt() >= 500);
            const QJsonArray findings = lint.value("findings").toArray();
            QVERIFY(std::none_of(findings.begin(), findings.end(),
                                 [](const QJsonValue &finding) { return finding.toObject().value("kind") == "initials-differ"; }));
        }
    }

    void lintFindsWhatPlayersWouldReport_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("asBank");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("severity");
        QTest::addColumn<QString>("kind");
        const QString pair = QStringLiteral("中国的首都是哪座城市？\n北京\n");
        QTest::newRow("blank line") << "Q1-q\nA1\n\nQ2-q\nA2\n" << false << 3 << "error" << "blank-line";
        QTest::newRow("blank line in a bank") << "问题-wt\r\n答\r\n\r\n问题二-wte\r\n" << true << 3 << "error" << "blank-line";
        QTest::newRow("conflicting answers") << pair + "中国的首都是哪座城市？-zgds\n上海\n" << false << 3 << "error" << "conflicting-answers";
        QTest::newRow("upper-case initials") << "问题-WT\n答\n" << false << 1 << "error" << "upper-case-initials";
        QTest::newRow("not GBK") << "问题\n答😀\n" << false << 2 << "error" << "not-gbk";
        QTest::newRow("not GBK bytes") << "问题-wt\r\n\x81\x30\r\n" << true << 2 << "error" << "invalid-bytes";
        QTest::newRow("unpaired last line") << pair + "最后一问\n" << false << 3 << "error" << "unpaired-line";
        QTest::newRow("unpaired in a bank") << "问题-wt\r\n答\r\n最后一问" << true << 3 << "error" << "unpaired-line";
        QTest::newRow("empty question") << "-wt\n答\n" << false << 1 << "error" << "empty-question";
        QTest::newRow("duplicate") << pair + pair << false << 3 << "warning" << "duplicate";
        QTest::newRow("near-duplicate") << pair + "中国的首都是哪座城市?\n北京\n" << false << 3 << "warning" << "near-duplicate";
        QTest::newRow("full-width forms") << "２００８年奥运会\n北京\n2008年 奥运会\n北京\n" << false << 3 << "warning" << "near-duplicate";
        QTest::newRow("full-width dash") << "问题－wt\n答\n" << false << 1 << "warning" << "full-width-dash";
        QTest::newRow("initials differ") << "长江有多长-zjydz\n很长\n" << false << 1 << "warning" << "initials-differ";
        QTest::newRow("empty answer") << "问题-wt\n\n" << false << 2 << "warning" << "empty-answer";
        QTest::newRow("dash in question") << "F-22是哪国的战机？\n美国\n" << false << 1 << "warning" << "dash-in-question";
        QTest::newRow("lone CR") << "问题-wt\r\r\n答\n" << false << 1 << "warning" << "lone-cr";
        QTest::newRow("lone CR in a bank") << "问题-wt\r\n答\r\r\n" << true << 2 << "warning" << "lone-cr";
        QTest::newRow("trailing blanks") << "问题-wt\n答 \n" << false << 2 << "warning" << "trailing-blanks";
        QTest::newRow("upper case in question") << "维生素C是什么-wssc\n维生素\n" << false << 1 << "warning" << "upper-case-question";
        QTest::newRow("several readings") << "重\n答\n" << false << 1 << "warning" << "several-readings";
    }

    void lintFindsWhatPlayersWouldReport()
    {
        QFETCH(QString, text);
        QFETCH(bool, asBank);
        QFETCH(int, line);
        QFETCH(QString, severity);
        QFETCH(QString, kind);
        const QString file = path(asBank ? "lint.dat" : "lint.txt");
        if (asBank)
            writeFile(file, enciphered(CodePage::toAnsi(text).replace("\x3f\x30", "\x81\x30")));
        else
            writeFile(file, text.toUtf8());
        const Run run = runTool({"lint", "--json", file});
        const QJsonObject lint = jsonOf(run);
        QCOMPARE(lint.value("type").toString(), asBank ? "bank" : "source");
        QVERIFY2(hasFinding(lint, line, severity, kind), qPrintable(run.out));
        QCOMPARE(run.exitCode, lint.value("errors").toInt() > 0 ? 1 : 0);
        QCOMPARE(run.exitCode, severity == "error" ? 1 : 0);
        const Run plain = runTool({"lint", file});
        QVERIFY2(plain.out.contains(QStringLiteral("%1:%2: %3: ").arg(file).arg(line).arg(severity)), qPrintable(plain.out));
    }

    // Build says as warnings what lint finds in the same source, and --strict
    // fails on lint's errors; lint gives build's reading warnings; a file
    // that cannot be linted is exit 2, in JSON too.
    void buildAndLintAgree()
    {
        writeFile(path("agree.txt"), QStringLiteral("重复的问题\n一\n重复的问题\n二\n问题-wt\n答 \n").toUtf8());
        const Run build = runTool({"build", path("agree.txt"), path("agree.dat")});
        QCOMPARE(build.exitCode, 0);
        QVERIFY2(build.err.contains(path("agree.txt") + ":3: warning: the question of line 1 again")
                     && build.err.contains(path("agree.txt") + ":6: warning: blanks at the end"),
                 qPrintable(build.err));
        const Run strict = runTool({"build", "--strict", path("agree.txt"), path("strict.dat")});
        QCOMPARE(strict.exitCode, 1);
        QVERIFY2(strict.err.endsWith(path("agree.txt") + ": lint finds 1 error; nothing written (--strict)\n"), qPrintable(strict.err));
        QVERIFY(!QFile::exists(path("strict.dat")));
        const Run lint = runTool({"lint", path("agree.txt")});
        QCOMPARE(lint.exitCode, 1);
        QVERIFY2(lint.out.contains(path("agree.txt") + ": 3 pairs, 1 error, "), qPrintable(lint.out));
        for (const QString &line : build.err.split('\n')) {
            if (line.contains("several readings"))
                QVERIFY2(lint.out.contains(line.mid(line.indexOf(path("agree.txt")))), qPrintable(line));
        }
        const Run missing = runTool({"lint", "--json", path("nowhere.txt")});
        QCOMPARE(missing.exitCode, 2);
        QCOMPARE(jsonOf(missing).value("error").toString(), path("nowhere.txt") + ": no such file");
    }

    void exportGivesASourceThatBuildsTheSameBank()
    {
        const QString sample = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");
        const Run run = runTool({"export", sample, path("exported.txt")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QVERIFY(readFile(path("exported.txt")).startsWith(QStringLiteral("中国的首都是哪座城市？-zgdsdsnzcs\n北京\n").toUtf8()));
        QCOMPARE(runTool({"build", path("exported.txt"), path("rebuilt.dat")}).exitCode, 0);
        QCOMPARE(readFile(path("rebuilt.dat")), readFile(sample));
        QCOMPARE(runTool({"export", sample, "-"}).out.toUtf8(), readFile(path("exported.txt")));
        QCOMPARE(runTool({"decode", sample, "-"}).outBytes, referenceRc4("5380", readFile(sample)));

        // A question without "-" comes back only when build leaves it bare.
        writeBankText(path("bare.dat"), QStringLiteral("没有首字母\r\n答\r\n"));
        const Run bare = runTool({"export", path("bare.dat"), path("bare.txt")});
        QCOMPARE(bare.exitCode, 0);
        QVERIFY2(bare.err.contains("--no-initials"), qPrintable(bare.err));
        QCOMPARE(runTool({"build", "--no-initials", path("bare.txt"), path("bare-again.dat")}).exitCode, 0);
        QCOMPARE(readFile(path("bare-again.dat")), readFile(path("bare.dat")));

        // Bytes a source cannot hold are refused, and nothing is written.
        writeFile(path("broken.dat"), enciphered("q-a\r\n\x81\x30\r\n"));
        const Run broken = runTool({"export", path("broken.dat"), path("broken.txt")});
        QCOMPARE(broken.exitCode, 1);
        QVERIFY2(broken.err.contains(path("broken.dat") + ": line 2: bytes that are not GBK"), qPrintable(broken.err));
        QVERIFY(!QFile::exists(path("broken.txt")));

        // A bank whose source would not build it again is refused, naming the line, unless --lossy.
        writeBankText(path("odd.dat"), QStringLiteral("问一-wy\r\n答\r\n问二-we"));
        writeBankText(path("blank.dat"), QStringLiteral("问一-wy\r\n答\r\n\r\n二\r\n"));
        writeBankText(path("open.dat"), QStringLiteral("问一-wy\r\n答"));
        const QList<std::pair<QString, QString>> refusals{{"odd", ": line 3: question without an answer"},
                                                          {"blank", ": line 3: blank line where a question belongs"},
                                                          {"open", ": line 2: the last line has no CR LF after it"}};
        for (const auto &[name, why] : refusals) {
            const Run refused = runTool({"export", path(name + ".dat"), path(name + ".txt")});
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains(path(name + ".dat") + why), qPrintable(refused.err));
            QVERIFY(!QFile::exists(path(name + ".txt")));
            QCOMPARE(runTool({"export", "--lossy", path(name + ".dat"), path(name + ".txt")}).exitCode, 0);
        }
    }

    void diffListsExactlyWhatChanged()
    {
        writeFile(path("old.txt"), QStringLiteral("甲问题\n甲\n乙问题\n乙\n丙问题\n丙\n重复的问题\n一\n重复的问题\n二\n").toUtf8());
        writeBankText(path("new.dat"),
                      QStringLiteral("乙问题-yw\r\n乙\r\n丙问题-bwt\r\n丙丙\r\n丁问题-dwt\r\n丁\r\n重复的问题-cfdwt\r\n二\r\n"));
        const Run run = runTool({"diff", "--json", path("old.txt"), path("new.dat")});
        QCOMPARE(run.exitCode, 1); // as diff(1): 1 when they differ, 0 the same, 2 on trouble
        const QJsonObject expected = QJsonDocument::fromJson(R"({
            "added": [{"question": "丁问题", "answer": "丁", "line": 5}],
            "removed": [{"question": "甲问题", "answer": "甲", "line": 1}, {"question": "重复的问题", "answer": "一", "line": 7}],
            "changed": [{"question": "丙问题", "oldAnswer": "丙", "newAnswer": "丙丙", "oldLine": 5, "newLine": 3}]
        })").object();
        QCOMPARE(jsonOf(run), expected);
        const Run text = runTool({"diff", path("old.txt"), path("new.dat")});
        QCOMPARE(text.out, QStringLiteral("added: 1\n+ 丁问题\t丁\nremoved: 2\n- 甲问题\t甲\n- 重复的问题\t一\n"
                                          "changed: 1\n~ 丙问题\t丙 -> 丙丙\n"));
        const Run same = runTool({"diff", path("new.dat"), path("new.dat")});
        QCOMPARE(same.exitCode, 0);
        QCOMPARE(same.out, QStringLiteral("added: 0\nremoved: 0\nchanged: 0\n"));
        QCOMPARE(runTool({"diff", path("new.dat"), path("nowhere.dat")}).exitCode, 2);
    }

    void helpAndVersion()
    {
        const Run help = runTool({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char *command : {"build", "initials", "encode", "decode", "export", "search", "check", "lint", "diff"})
            QVERIFY2(help.out.contains(QStringLiteral("\n  %1 ").arg(command)), command);
        const Run buildHelp = runTool({"build", "--help"});
        QCOMPARE(buildHelp.exitCode, 0);
        QVERIFY2(buildHelp.out.startsWith("Usage: vellmar-bank build [options] SOURCE BANK\n") && buildHelp.out.contains("--readings <FILE>"),
                 qPrintable(buildHelp.out));
        const Run version = runTool({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QStringLiteral("vellmar-bank %1\n").arg(qEnvironmentVariable("VELLMAR_VERSION")));
        const Run badOption = runTool({"lint", "--frobnicate", path("x")});
        QCOMPARE(badOption.exitCode, 2);
        QVERIFY2(badOption.err.contains("frobnicate") && badOption.err.contains("vellmar-bank lint --help"), qPrintable(badOption.err));
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
        // A file of another kind is named for what it looks like.
        writeFile(path("source.txt"), QStringLiteral("中国的首都？\n北京\n").toUtf8());
        for (const QStringList &arguments : {QStringList{"search", path("source.txt"), "中国的首"}, QStringList{"check", path("source.txt")}}) {
            const Run source = runTool(arguments);
            QCOMPARE(source.exitCode, 1);
            QVERIFY2(source.err.contains(path("source.txt") + ": looks like a UTF-8 source, not an enciphered bank; build it"),
                     qPrintable(source.err));
        }
        writeFile(path("gbk.txt"), CodePage::toAnsi(QStringLiteral("中国的首都？\n北京\n")));
        const Run gbkSource = runTool({"lint", path("gbk.txt")});
        QCOMPARE(gbkSource.exitCode, 2);
        QVERIFY2(gbkSource.err.contains(path("gbk.txt") + ": looks like GBK text") && gbkSource.err.contains("iconv -f GBK"),
                 qPrintable(gbkSource.err));
        const QString utf16 = QStringLiteral("\uFEFF中国的首都？\n北京\n");
        writeFile(path("utf16.txt"), QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2));
        const Run utf16Source = runTool({"lint", path("utf16.txt")});
        QCOMPARE(utf16Source.exitCode, 2);
        QVERIFY2(utf16Source.err.contains(path("utf16.txt") + ": looks like UTF-16 text"), qPrintable(utf16Source.err));
        QCOMPARE(runTool({"frobnicate"}).exitCode, 2);
        QCOMPARE(runTool({"build", path("x")}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestVellmarBank)
#include "tst_VellmarBank.moc"
