#include "search/SearchQuestions.h"

#include <QTest>

namespace {

QuestionLines bank(const QStringList &lines)
{
    return QuestionLines::fromText(lines.join(QStringLiteral("\r\n")));
}

QStringList pairs(int count, const QString &question, const QString &answer)
{
    QStringList lines;
    for (int n = 1; n <= count; ++n)
        lines << question.arg(n) << answer.arg(n);
    return lines;
}

} // namespace

class TestSearchQuestions : public QObject
{
    Q_OBJECT

private slots:
    void threshold_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("searched");
        QTest::newRow("three letters") << "abc" << false;
        QTest::newRow("four letters") << "abcd" << true;
        QTest::newRow("one chinese") << "首" << false;
        QTest::newRow("chinese and letter") << "首a" << false;
        QTest::newRow("two chinese") << "首都" << true;
        QTest::newRow("chinese and two letters") << "首ab" << true;
        QTest::newRow("blanks count") << "  ab" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("emoji counts one byte") << "ab😀" << false;
    }

    void threshold()
    {
        QFETCH(QString, query);
        QFETCH(bool, searched);
        QCOMPARE(SearchQuestions(bank({"x", "y"}), query).has_value(), searched);
    }

    void statusTexts()
    {
        const QuestionLines lines = bank(pairs(25, "中国问题%1-zgwt", "答案%1") + pairs(3, "日本问题%1-rbwt", "答%1"));
        const auto capped = SearchQuestions(lines, QStringLiteral("中国问题"));
        QCOMPARE(capped->HitCount, 20);
        QCOMPARE(capped->StatusText, QStringLiteral("查找到20条"));
        QCOMPARE(capped->Questions.first(), QStringLiteral("中国问题1"));
        QCOMPARE(capped->Questions.last(), QStringLiteral("中国问题20"));
        QCOMPARE(capped->Answers.last(), QStringLiteral("答案20"));
        QCOMPARE(SearchQuestions(lines, QStringLiteral("日本问题"))->StatusText, QStringLiteral("查找到3条"));
        const auto none = SearchQuestions(lines, QStringLiteral("美国问题"));
        QCOMPARE(none->HitCount, 0);
        QVERIFY(none->Questions.isEmpty() && none->Answers.isEmpty());
        QCOMPARE(none->StatusText, QStringLiteral("未查询到先关问题"));
    }

    void queryIsLowerCasedButLinesAreNot()
    {
        const QuestionLines lines = bank({"has abcd", "1", "has ABCD", "2", "has AbCd", "3"});
        const auto result = SearchQuestions(lines, QStringLiteral("ABCD"));
        QCOMPARE(result->Answers, QStringList{"1"});
        // Other cased letters follow Unicode's mapping.
        QCOMPARE(SearchQuestions(bank({"xàbcd", "1", "ÀBCD", "2"}), QStringLiteral("ÀBCD"))->Answers, QStringList{"1"});
    }

    void onlyQuestionLinesAreTested()
    {
        const QuestionLines lines = bank({"问题甲", "答案里有首都", "问题乙", "首都"});
        QCOMPARE(SearchQuestions(lines, QStringLiteral("首都"))->HitCount, 0);
    }

    void shownTextEndsAtFirstDash_data()
    {
        QTest::addColumn<QString>("questionLine");
        QTest::addColumn<QString>("shown");
        QTest::newRow("match after dash") << "首都在哪-sdzn" << "首都在哪";
        QTest::newRow("several dashes") << "首都-a-b sdzn" << "首都";
        QTest::newRow("no dash") << "首都 sdzn" << "首都 sdzn";
        QTest::newRow("leading dash") << "-首都 sdzn" << "";
        QTest::newRow("full-width dash does not separate") << "首都－sdzn" << "首都－sdzn";
    }

    void shownTextEndsAtFirstDash()
    {
        QFETCH(QString, questionLine);
        QFETCH(QString, shown);
        const auto result = SearchQuestions(bank({questionLine, "答"}), QStringLiteral("sdzn"));
        QCOMPARE(result->Questions, QStringList{shown});
        QCOMPARE(result->Answers, QStringList{"答"});
    }

    void emptyAnswerGivesEmptyRow()
    {
        const auto result = SearchQuestions(bank({"首都-sd", ""}), QStringLiteral("首都"));
        QCOMPARE(result->Answers, QStringList{""});
        QCOMPARE(result->HitCount, 1);
    }

    void unpairedLinesAreNeverTested()
    {
        QCOMPARE(SearchQuestions(bank({"首都-sd", "北京", "首都在"}), QStringLiteral("首都"))->HitCount, 1);
        QCOMPARE(SearchQuestions(bank({"首都在这里"}), QStringLiteral("首都"))->StatusText, QStringLiteral("未查询到先关问题"));
        QCOMPARE(SearchQuestions(QuestionLines(), QStringLiteral("首都"))->HitCount, 0);
    }

    void blanksArePartOfTheQuery()
    {
        const QuestionLines lines = bank({"a  bcd", "1", "abcd", "2"});
        QCOMPARE(SearchQuestions(lines, QStringLiteral("  bc"))->Answers, QStringList{"1"});
    }

    void lineBreaksInsideLinesAreText()
    {
        const QuestionLines lines = QuestionLines::fromText(QStringLiteral("ab\ncd\r\nx\r\nab\r\ncd"));
        QCOMPARE(SearchQuestions(lines, QStringLiteral("ab\ncd"))->Answers, QStringList{"x"});
        // A match may not reach across the CR LF between two lines.
        QCOMPARE(SearchQuestions(lines, QStringLiteral("x\r\nab"))->HitCount, 0);
    }
};

QTEST_APPLESS_MAIN(TestSearchQuestions)
#include "tst_SearchQuestions.moc"
