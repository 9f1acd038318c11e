#include "BadFiles.h"
#include "FailureText.h"
#include "TestFiles.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "ui/BankFailureText.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The bank's readers against what can stand at its path instead of a bank:
// special files, links, files too large or unreadable, made for real.
class TestBadBankFiles : public QObject
{
    Q_OBJECT

private slots:
    // Every kind of bad file is refused by what it is, in both languages,
    // without reading it whole, blocking on it or changing it.
    void badBanksAreErrorsNamingPathAndCause_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        for (const BadFileCase &bad : badFileCases())
            QTest::newRow(bad.name) << int(bad.kind) << bad.chineseCause << bad.englishCause;
    }

    void badBanksAreErrorsNamingPathAndCause()
    {
        QFETCH(int, kind);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QTemporaryDir here;
        letOthersEnter(here.path());
        const QString path = BankFile::DataPath(here.path());
        makeBadFile(BadFile(kind), path);
        const QStringList folderBefore = entriesOf(here.path());
        const QFileInfo before(path);

        {
            AsUnprivilegedUser unprivileged;
            QuestionLines lines;
            BankReader window;
            QVERIFY(!window.readQuestionLines(path, lines));
            QVERIFY(window.hasError());
            const QString shown = bankFailureText(window.failure());
            QVERIFY2(shown.contains(QStringLiteral("“%1”").arg(path)) && shown.contains(chinese), qPrintable(shown));
            QVERIFY(lines.isEmpty());

            BankReader tool;
            QByteArray bytes;
            QVERIFY(!tool.readFileBytes(path, bytes));
            const QString said = failureText(tool.failure());
            QVERIFY2(said.startsWith(path + QStringLiteral(": ")) && said.contains(english), qPrintable(said));
            QVERIFY(bytes.isEmpty());
        }
        QCOMPARE(entriesOf(here.path()), folderBefore);
        QCOMPARE(QFileInfo(path).size(), before.size());
        QCOMPARE(QFileInfo(path).lastModified(), before.lastModified());
    }
};

QTEST_APPLESS_MAIN(TestBadBankFiles)
#include "tst_BadBankFiles.moc"
