#include "ReferenceSearch.h"

#include "search/ScanWorker.h"
#include "search/SearchQuestions.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

// Pieces of text the random banks and queries are made of: letters in both
// cases, Chinese characters, dashes, lone CR and LF, a full-width dash and a
// character outside the BMP. Few of them, so that matches are frequent.
const QStringList Pieces = {
    "a", "b", "c", "A", "B", "中", "国", "首", "都", "-", "-", "－", " ", "1", "\r", "\n", "😀",
};

QString randomText(QRandomGenerator &random, int maxPieces)
{
    QString text;
    const int count = random.bounded(maxPieces + 1);
    for (int n = 0; n < count; ++n)
        text += Pieces.at(random.bounded(Pieces.size()));
    return text;
}

// A bank of random lines, with or without a CR LF after the last one.
QString randomBankText(QRandomGenerator &random)
{
    const int lineCount = random.bounded(60);
    // Mostly short lines, some longer than a vector block.
    const int maxPieces = random.bounded(4) == 0 ? 70 : 12;
    QStringList lines;
    for (int n = 0; n < lineCount; ++n)
        lines << randomText(random, maxPieces);
    QString text = lines.join(QStringLiteral("\r\n"));
    if (random.bounded(3) == 0)
        text += QStringLiteral("\r\n");
    return text;
}

// Half the queries are cut from the bank's text, so that they occur, some of
// them across a line break; the other half are made up, in random case.
QString randomQuery(QRandomGenerator &random, const QString &bankText)
{
    if (!bankText.isEmpty() && random.bounded(2) == 0) {
        const qsizetype length = 1 + random.bounded(6);
        const qsizetype start = random.bounded(qMax<qsizetype>(1, bankText.size() - length + 1));
        QString query = bankText.mid(start, length);
        return random.bounded(4) == 0 ? query.toUpper() : query;
    }
    return randomText(random, 6);
}

// Splits that small banks reach: a lead anywhere in the text or none, the
// rest shared by both threads (or, now and then, left to one) in chunks of a
// few units, so that matches straddle their ends.
ScanSplit randomSplit(QRandomGenerator &random, const QuestionLines &lines)
{
    const auto units = int(lines.text().size());
    ScanSplit split;
    split.leadUnits = random.bounded(3) == 0 ? 0 : random.bounded(units + 1);
    split.minSplitUnits = random.bounded(8) == 0 ? units + 1 : random.bounded(units / 4 + 1);
    split.chunkUnits = 1 + random.bounded(40);
    return split;
}

void compareSearches(const QuestionLines &lines, const QString &query, const ScanSplit &split = {})
{
    const std::optional<SearchResult> fast = SearchQuestions(lines, query, split);
    const std::optional<SearchResult> reference = searchQuestionsReference(lines, query);
    QCOMPARE(fast.has_value(), reference.has_value());
    if (!fast)
        return;
    QCOMPARE(fast->HitCount, reference->HitCount);
    QCOMPARE(fast->Questions, reference->Questions);
    QCOMPARE(fast->Answers, reference->Answers);
    QCOMPARE(fast->StatusText, reference->StatusText);
}

} // namespace

class TestSearchCrossCheck : public QObject
{
    Q_OBJECT

private slots:
    void randomBanksAndQueries()
    {
        QRandomGenerator random(5380);
        for (int bank = 0; bank < 3000; ++bank) {
            const QString text = randomBankText(random);
            const QuestionLines lines = QuestionLines::fromText(text);
            for (int round = 0; round < 20; ++round) {
                const QString query = randomQuery(random, text);
                const ScanSplit split = randomSplit(random, lines);
                compareSearches(lines, query);
                compareSearches(lines, query, split);
                if (QTest::currentTestFailed()) {
                    qWarning() << "bank" << text << "query" << query << "lead" << split.leadUnits << "split from"
                               << split.minSplitUnits << "chunks" << split.chunkUnits;
                    return;
                }
            }
        }
    }

    // Many matching pairs, so that the 20-hit limit ends the scan, also when
    // matches straddle the line breaks or stand in answer lines, and when the
    // scan is split: the limit reached in the lead, in any chunk, or only
    // with the last.
    void hitLimit()
    {
        QRandomGenerator random(20);
        for (int round = 0; round < 200; ++round) {
            QStringList lines;
            const int lineCount = 30 + random.bounded(80);
            for (int n = 0; n < lineCount; ++n)
                lines << QStringLiteral("ab").repeated(random.bounded(4)) + randomText(random, 3);
            const QuestionLines bank = QuestionLines::fromText(lines.join(QStringLiteral("\r\n")));
            for (const QString query : {"abab", "ABAB", "b\r\na", "abababab", "ab\r\nab"}) {
                compareSearches(bank, query);
                compareSearches(bank, query, randomSplit(random, bank));
            }
        }
    }

    // Every lead, from none to the whole bank, and chunks of 1 to 7 units,
    // over banks whose hits are thin or dense: hits before the split point,
    // after it and on both of its sides, fewer or more than the limit in a
    // chunk.
    void everySplitPoint()
    {
        QRandomGenerator random(31);
        for (int round = 0; round < 40; ++round) {
            QStringList lines;
            const int pairs = 4 + random.bounded(60);
            // Hits thin or dense, some runs of them straddling any point.
            const int oneIn = 1 + random.bounded(4);
            for (int n = 0; n < pairs; ++n) {
                lines << (random.bounded(oneIn) == 0 ? QStringLiteral("问题%1-wtxy").arg(n) : QStringLiteral("问题%1-wt").arg(n));
                lines << QStringLiteral("答%1").arg(n);
            }
            const QuestionLines bank = QuestionLines::fromText(lines.join(QStringLiteral("\r\n")));
            for (qsizetype lead = 0; lead <= bank.text().size(); ++lead) {
                compareSearches(bank, QStringLiteral("wtxy"), ScanSplit{lead, 0, 1 + lead % 7});
                compareSearches(bank, QStringLiteral("题1"), ScanSplit{lead, 0, 1 + lead % 7});
                if (QTest::currentTestFailed()) {
                    qWarning() << "bank" << lines << "lead" << lead;
                    return;
                }
            }
        }
    }

    // The worker runs a job on a thread of its own while the caller's part
    // waits for it; a job it has not begun when the caller's part ends runs
    // on the caller's thread, once.
    void workerRunsBesideTheCaller()
    {
        ScanWorker &worker = ScanWorker::shared();
        const std::int64_t jobsBefore = worker.jobsRun();
        std::atomic<bool> jobRan = false;
        std::thread::id jobThread;
        worker.runBeside(
            [&] {
                jobThread = std::this_thread::get_id();
                jobRan = true;
            },
            [&] {
                QElapsedTimer waited;
                waited.start();
                while (!jobRan && waited.elapsed() < 10000)
                    std::this_thread::yield();
            });
        QVERIFY(jobRan);
        QVERIFY(jobThread != std::this_thread::get_id());
        QCOMPARE(worker.jobsRun(), jobsBefore + 1);
        int runs = 0;
        for (int round = 0; round < 1000; ++round)
            worker.runBeside([&] { ++runs; }, [] {});
        QCOMPARE(runs, 1000);
    }

    // A bank larger than the samples the search judges pairs by, with one
    // pair everywhere and rare ones at the starts and ends of lines: queries
    // whose rarest pair stands first, inside or last, or past a line break.
    void rarePairsInABigBank()
    {
        QRandomGenerator random(18);
        QStringList lines;
        for (int n = 0; n < 8000; ++n) {
            QString line = QStringLiteral("ab").repeated(1 + random.bounded(8)) + randomText(random, 4);
            if (random.bounded(300) == 0)
                line.prepend(QStringLiteral("xy"));
            if (random.bounded(300) == 0)
                line.append(QStringLiteral("yx"));
            lines << line;
        }
        const QuestionLines bank = QuestionLines::fromText(lines.join(QStringLiteral("\r\n")));
        QVERIFY(bank.text().size() > 100000);
        for (const QString query : {"xyab", "xyabab", "abxy", "abyx", "bayx", "b\r\nxy", "yx\r\nxy", "yx\r\nab", "abab", "XYAB"}) {
            compareSearches(bank, query);
            compareSearches(bank, query, ScanSplit{0, 0, 1000});
            compareSearches(bank, query, ScanSplit{bank.text().size() / 3, 0, 777});
        }
    }

    void thresholdAndSmallBanks_data()
    {
        QTest::addColumn<QString>("bank");
        QTest::newRow("empty") << "";
        QTest::newRow("one line") << "中国首都abcd";
        QTest::newRow("one pair") << "中国首都abcd\r\n北京";
        QTest::newRow("odd lines") << "中国首都\r\n北京\r\n中国首都";
        QTest::newRow("odd lines and a CR LF") << "中国首都\r\n北京\r\n中国首都\r\n";
        QTest::newRow("dashes") << "-中国首都\r\n1\r\n中国首都-\r\n2\r\n-中国-首都-\r\n3\r\n中国首都\r\n4";
        QTest::newRow("lone CR and LF") << "中国\r首都\r\n1\r\n中国\n首都\r\n2\r\n\r中国首都\n\r\n3";
    }

    void thresholdAndSmallBanks()
    {
        QFETCH(QString, bank);
        const QuestionLines lines = QuestionLines::fromText(bank);
        for (const QString query : {"中", "中a", "中国", "中国首都", "abc", "abcd", "ABCD", "国\r首", "国\r\n首", "都\r\n北", "  ab",
                                    "国-首", "-中国", "都-", "😀a", "😀ab", "😀abc"}) {
            compareSearches(lines, query);
            compareSearches(lines, query, ScanSplit{0, 0, 3});
        }
    }
};

QTEST_APPLESS_MAIN(TestSearchCrossCheck)
#include "tst_SearchCrossCheck.moc"
