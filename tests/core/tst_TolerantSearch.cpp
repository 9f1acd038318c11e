#include "search/BigramIndex.h"
#include "search/SearchResult.h"
#include "search/TolerantSearch.h"
#include "search/TolerantText.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <map>

namespace {

QuestionLines bank(const QStringList &lines)
{
    return QuestionLines::fromText(lines.join(QStringLiteral("\r\n")));
}

const QStringList SmallBank = {
    QStringLiteral("中国的首都是哪座城市？-zgdsdsnzcs"), QStringLiteral("北京"),
    QStringLiteral("长江全长约多少千米？-cjqcyds"), QStringLiteral("6300千米"),
    QStringLiteral("中国的首都有几座城门？-zgdsdyjzcm"), QStringLiteral("九座"),
    QStringLiteral("月"), QStringLiteral("一个字的问题"),
    QStringLiteral("最后一行没有答案"),
};

// Dice scores over every pair, the slow and plain way.
double bruteBestDice(const QuestionLines &lines, const QString &query)
{
    std::vector<std::uint32_t> queryKeys;
    std::vector<std::uint32_t> keys;
    tolerantBigrams(tolerantText(query), queryKeys);
    double best = 0;
    for (qsizetype pair = 0; pair < lines.pairCount(); ++pair) {
        tolerantBigrams(tolerantText(questionText(lines.at(2 * pair))), keys);
        std::vector<std::uint32_t> shared;
        std::set_intersection(queryKeys.begin(), queryKeys.end(), keys.begin(), keys.end(), std::back_inserter(shared));
        if (!shared.empty())
            best = std::max(best, 2.0 * double(shared.size()) / double(queryKeys.size() + keys.size()));
    }
    return best;
}

QString randomText(QRandomGenerator &random, int length)
{
    // Few characters, so that texts share many bigrams and the lists grow long.
    static const QString Characters = QStringLiteral("的一是不了在人有我他这中大来上国个到说们");
    QString text;
    for (int i = 0; i < length; ++i)
        text += Characters[random.bounded(int(Characters.size()))];
    return text;
}

} // namespace

class TestTolerantSearch : public QObject
{
    Q_OBJECT

private slots:
    void tolerantTextKeepsLettersAndDigitsOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tolerant");
        QTest::newRow("blanks and full-width marks") << "中国 的首都 ？" << "中国的首都";
        QTest::newRow("half-width marks as OCR reads them") << "中国的首都?,." << "中国的首都";
        QTest::newRow("full-width letters and digits") << "ＡＢｃ１２" << "abc12";
        QTest::newRow("circled digit") << "第①题" << "第1题";
        QTest::newRow("one unit, two letters") << "5㎏" << "5kg";
        QTest::newRow("combining accent composes") << "Cafe\u0301" << "café";
        QTest::newRow("outside the BMP") << "𠀀的" << "𠀀的";
        QTest::newRow("nothing left") << "？！…—" << "";
    }
    void tolerantTextKeepsLettersAndDigitsOnly()
    {
        QFETCH(QString, text);
        QFETCH(QString, tolerant);
        QCOMPARE(tolerantText(text), tolerant);
    }

    void commonSubsequenceRatioIsOverTheLongerText()
    {
        QCOMPARE(commonSubsequenceRatio(u"中国首都", u"中国首都"), 1.0);
        QCOMPARE(commonSubsequenceRatio(u"中国首都", u"中国的首都"), 0.8);
        QCOMPARE(commonSubsequenceRatio(u"中图首郡", u"中国首都"), 0.5);
        QCOMPARE(commonSubsequenceRatio(u"", u""), 0.0);
        QCOMPARE(commonSubsequenceRatio(u"abc", u""), 0.0);
    }

    void misreadQuestionComesFirstAndSure()
    {
        const QuestionLines lines = bank(SmallBank);
        const BigramIndex index = BigramIndex::build(lines);
        QCOMPARE(index.pairCount(), 4);
        // "国" misread as "图", blanks between the characters, "?" for "？".
        const TolerantResult result = RankQuestions(lines, index, u"中 图 的 首 都 是 哪 座 城 市 ?");
        QVERIFY(result.Sure);
        QCOMPARE(result.Questions.value(0), QStringLiteral("中国的首都是哪座城市？"));
        QCOMPARE(result.Answers.value(0), QStringLiteral("北京"));
        QCOMPARE(result.Questions.value(1), QStringLiteral("中国的首都有几座城门？"));
        QCOMPARE(result.Answers.value(1), QStringLiteral("九座"));
        QVERIFY(result.Scores[0] > result.Scores[1]);
        QCOMPARE(result.Scores.size(), result.Questions.size());
        QCOMPARE(result.Answers.size(), result.Questions.size());
    }

    void questionMissingFromTheBankIsNoSureMatchButListed()
    {
        const QuestionLines lines = bank(SmallBank);
        const BigramIndex index = BigramIndex::build(lines);
        const TolerantResult result = RankQuestions(lines, index, u"中国最长的河流是哪一条？");
        QVERIFY(!result.Sure);
        QVERIFY(!result.isEmpty());
        QVERIFY(result.Questions.contains(QStringLiteral("中国的首都是哪座城市？")));
        QVERIFY(result.Scores[0] < SureScore);
    }

    void shortAndEmptyTexts()
    {
        const QuestionLines lines = bank(SmallBank);
        const BigramIndex index = BigramIndex::build(lines);
        const TolerantResult one = RankQuestions(lines, index, u"月");
        QCOMPARE(one.Questions, QStringList{QStringLiteral("月")});
        QVERIFY(one.Sure);
        QVERIFY(RankQuestions(lines, index, u"").isEmpty());
        QVERIFY(RankQuestions(lines, index, u"？？ ").isEmpty());
        // The unpaired last line is no question.
        QVERIFY(RankQuestions(lines, index, u"最后一行没有答案").Questions.value(0) != QStringLiteral("最后一行没有答案"));
        const QuestionLines empty;
        QVERIFY(RankQuestions(empty, BigramIndex::build(empty), u"中国的首都").isEmpty());
    }

    // Each bigram's list, as coded, gives back exactly the pairs whose
    // question holds it: dense lists of few characters, a list dense at the
    // start that comes back at the very end (a gap too wide for its code),
    // one-character questions, the first pair and the last.
    void everyListHoldsExactlyThePairsOfItsBigram()
    {
        QRandomGenerator random(7);
        constexpr int Pairs = 4000;
        QStringList lines;
        for (int pair = 0; pair < Pairs; ++pair) {
            QString question = randomText(random, 2 + random.bounded(26));
            if (pair < 200 || pair == Pairs - 1)
                question.prepend(QStringLiteral("甲乙"));
            if (pair % 997 == 0)
                question = QStringLiteral("丙");
            lines << question + QStringLiteral("-x") << QStringLiteral("答");
        }
        const QuestionLines questionLines = bank(lines);
        const BigramIndex index = BigramIndex::build(questionLines);
        std::map<std::uint32_t, std::vector<std::uint32_t>> holders;
        std::vector<std::uint32_t> keys;
        for (qsizetype pair = 0; pair < questionLines.pairCount(); ++pair) {
            tolerantBigrams(tolerantText(questionText(questionLines.at(2 * pair))), keys);
            for (const std::uint32_t key : keys)
                holders[key].push_back(std::uint32_t(pair));
        }
        QCOMPARE(holders[std::uint32_t(u'甲') << 16 | u'乙'].back(), std::uint32_t(Pairs - 1));
        for (const auto &[key, pairs] : holders)
            QVERIFY2(index.pairsHolding(key) == pairs, qPrintable(QString::number(key, 16)));
        QVERIFY(index.pairsHolding(std::uint32_t(u'丁') << 16 | u'戊').empty());
    }

    // The index finds the best Dice score there is, though it draws its
    // candidates from the rarer bigrams only; long lists of few characters.
    void bestDiceMatchesTheScoreOfEveryPair()
    {
        QRandomGenerator random(19);
        QStringList lines;
        for (int pair = 0; pair < 3000; ++pair)
            lines << randomText(random, 8 + random.bounded(20)) + QStringLiteral("-x") << QStringLiteral("答");
        const QuestionLines questionLines = bank(lines);
        const BigramIndex index = BigramIndex::build(questionLines);
        for (int round = 0; round < 200; ++round) {
            QString query = questionText(questionLines.at(2 * random.bounded(3000))).toString();
            for (qsizetype i = 0; i < query.size(); i += 1 + random.bounded(6))
                query[i] = randomText(random, 1)[0];
            const auto closest = index.closestPairs(questionLines, tolerantText(query), TolerantPool);
            QVERIFY(!closest.empty());
            QCOMPARE(closest.front().dice, bruteBestDice(questionLines, query));
            QVERIFY(std::is_sorted(closest.begin(), closest.end(), [](const auto &a, const auto &b) {
                return a.dice > b.dice;
            }));
        }
    }
};

QTEST_GUILESS_MAIN(TestTolerantSearch)
#include "tst_TolerantSearch.moc"
