#include "TestBanks.h"
#include "TestFiles.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "bank/BankWriter.h"
#include "search/SearchQuestions.h"
#include "text/CodePage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestBankFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString bankPath() const { return BankFile::DataPath(dir.path()); }
    QString writeBank(const QString &plainText)
    {
        writeBankText(bankPath(), plainText);
        return bankPath();
    }
    QuestionLines load(const QString &path)
    {
        QuestionLines lines;
        BankReader reader;
        if (!reader.readQuestionLines(path, lines))
            qWarning() << "cannot load" << path;
        return lines;
    }

private slots:
    void dataPathIsProgramFolderAndName()
    {
        QCOMPARE(BankFile::DataPath(QStringLiteral("/opt/vellmar quiz")), QStringLiteral("/opt/vellmar quiz/data.dat"));
    }

    void loadsWhatWasEnciphered()
    {
        const QuestionLines lines = load(writeBank(QStringLiteral("中国的首都？-zgds\r\n北京\r\n")));
        QCOMPARE(linesOf(lines), QStringList({"中国的首都？-zgds", "北京", ""}));
    }

    void splitsOnlyAtCrLf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("pairs");
        QTest::newRow("trailing CR LF adds an empty line") << "q1\r\na1\r\nq2\r\na2\r\n" << QStringList{"q1", "a1", "q2", "a2", ""} << 2;
        QTest::newRow("no trailing CR LF") << "q1\r\na1\r\nq2\r\na2" << QStringList{"q1", "a1", "q2", "a2"} << 2;
        QTest::newRow("odd lines, no trailing CR LF") << "q1\r\na1\r\nq2" << QStringList{"q1", "a1", "q2"} << 1;
        QTest::newRow("odd lines, trailing CR LF") << "q1\r\na1\r\nq2\r\n" << QStringList{"q1", "a1", "q2", ""} << 2;
        QTest::newRow("lone CR and LF stay in their line") << "q\r1\r\na\n1" << QStringList{"q\r1", "a\n1"} << 1;
        QTest::newRow("LF CR is no separator") << "q\n\ra" << QStringList{"q\n\ra"} << 0;
        QTest::newRow("single line") << "only" << QStringList{"only"} << 0;
        QTest::newRow("separators only") << "\r\n\r\n" << QStringList{"", "", ""} << 1;
    }

    void splitsOnlyAtCrLf()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QFETCH(int, pairs);
        const QuestionLines loaded = load(writeBank(text));
        QCOMPARE(linesOf(loaded), lines);
        QCOMPARE(loaded.pairCount(), pairs);
    }

    void lastCompletePairIsSearched()
    {
        const QuestionLines lines = load(writeBank(QStringLiteral("中国首都\r\n北京\r\n中国国旗\r\n")));
        const auto result = SearchQuestions(lines, QStringLiteral("中国"));
        QVERIFY(result);
        // The odd last line became a question with the empty line after it as its answer.
        QCOMPARE(result->Answers, QStringList({"北京", ""}));
    }

    void loadingLeavesTheFileAsItWas()
    {
        const QString path = writeBank(QStringLiteral("问题-wt\r\n答案\r\n"));
        const QByteArray before = readFile(path);
        const QDateTime modifiedBefore = QFileInfo(path).lastModified();
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QCOMPARE(linesOf(load(path)).first(), QStringLiteral("问题-wt"));
        QCOMPARE(readFile(path), before);
        QCOMPARE(QFileInfo(path).lastModified(), modifiedBefore);
        QCOMPARE(QFile::permissions(path) & QFileDevice::WriteOwner, QFileDevice::Permissions());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void bankBehindASymbolicLinkLoads()
    {
        QTemporaryDir here;
        writeBankText(here.filePath(QStringLiteral("real.dat")), QStringLiteral("问题-wt\r\n答案\r\n"));
        const QString path = BankFile::DataPath(here.path());
        QVERIFY(QFile::link(QStringLiteral("real.dat"), path));
        QCOMPARE(linesOf(load(path)), QStringList({"问题-wt", "答案", ""}));
    }

    void writerEnciphersTheBankSafely()
    {
        const QByteArray plain = CodePage::toAnsi(QStringLiteral("题目-tm\r\n答案\r\n"));
        const QString path = bankPath();
        writeFile(path, plain);
        BankWriter writer;
        QVERIFY(writer.writeBank(path, plain));
        QCOMPARE(readFile(path), enciphered(plain));
        QVERIFY(writer.writePlain(path, plain));
        QCOMPARE(readFile(path), plain);
        // Only the bank itself is left in the folder: no temporary file stays behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"data.dat"}));
    }
};

QTEST_APPLESS_MAIN(TestBankFile)
#include "tst_BankFile.moc"
