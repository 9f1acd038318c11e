#include "BankSource.h"
#include "BankText.h"
#include "QuestionInitials.h"
#include "ReadingOverrides.h"

#include "TestFiles.h"

#include <QTest>

namespace {

ReadingOverrides overridesOf(const QString &text)
{
    ReadingOverrides overrides;
    QString error;
    if (!ReadingOverrides::parse(text.toUtf8(), QStringLiteral("readings.txt"), overrides, error))
        qWarning("%s", qPrintable(error));
    return overrides;
}

QStringList wordsMatched(const ReadingOverrides &overrides, const QString &text)
{
    QStringList words;
    for (const ReadingOverrides::Match &match : overrides.matchesIn(text))
        words << QStringLiteral("%1@%2").arg(overrides.words().at(match.word).text).arg(match.start);
    return words;
}

QStringList compiledLines(const QByteArray &source, const BankSource::FillInitials &fill = {})
{
    QByteArray plain;
    QString error;
    if (!BankSource::compile(source, QStringLiteral("source.txt"), plain, error, fill))
        return {error};
    return QString::fromLatin1(plain).split(QStringLiteral("\r\n"));
}

} // namespace

class TestBankInitials : public QObject
{
    Q_OBJECT

private slots:
    void initialsOfMixedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("initials");
        QTest::newRow("characters") << "中国的首都" << "zgdsd";
        QTest::newRow("digits and letters") << "2008年DNA检测" << "2008ndnajc";
        QTest::newRow("full-width forms") << "第２０届ＡＢ杯" << "d20jabb";
        QTest::newRow("punctuation and blanks left out") << "《红楼梦》、 “西游记”？" << "hlmxyj";
        QTest::newRow("a reading without a tone mark first") << "爱恶鹅" << "aee";
        QTest::newRow("nothing to give") << "？！……" << "";
        QTest::newRow("beyond GBK") << "😀中" << "z";
    }

    void initialsOfMixedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, initials);
        PinyinInitials pinyin;
        QVERIFY2(pinyin.isValid(), qPrintable(pinyin.errorString()));
        QCOMPARE(pinyin.initialsOf(text), initials);
        QCOMPARE(pinyin.initialsOf(text), initials); // the second time from what was kept
    }

    void longestWordFirst()
    {
        const ReadingOverrides overrides = overridesOf("行长 hz\n银行 yh\n银行行长 yhhz\n长江 cj\n江水 js\n");
        QCOMPARE(wordsMatched(overrides, "中国银行行长"), QStringList{"银行行长@2"});
        QCOMPARE(wordsMatched(overrides, "银行的行长"), QStringList({"银行@0", "行长@3"}));
        // Of two words as long, the earlier place is taken.
        QCOMPARE(wordsMatched(overrides, "长江水"), QStringList{"长江@0"});
        QCOMPARE(wordsMatched(overrides, "江水长江"), QStringList({"江水@0", "长江@2"}));
        QCOMPARE(wordsMatched(overrides, "没有"), QStringList());
    }

    // The makers' words above the dictionary's, the dictionary's above ICU's
    // one reading; a warning only where nothing settles a character.
    void fillTakesWordsAndNamesUnsettledCharacters()
    {
        QuestionInitials dictionaryOnly;
        const QuestionInitials::Filled city = dictionaryOnly.fill(u"重庆银行在哪");
        QCOMPARE(city.initials, QStringLiteral("cqyhzn")); // ICU alone reads 重 as zhòng and 行 as xíng
        QCOMPARE(city.usedWords, QList<qsizetype>());
        QCOMPARE(city.unsettled, QString());
        QCOMPARE(dictionaryOnly.fill(u"缺乏会得").unsettled, QStringLiteral("会"));
        QCOMPARE(dictionaryOnly.fill(u"说佛").unsettled, QString()); // every reading starts alike
        QuestionInitials chosen(overridesOf("银行 yx\n"));
        const QuestionInitials::Filled bank = chosen.fill(u"重庆银行");
        QCOMPARE(bank.initials, QStringLiteral("cqyx"));
        QCOMPARE(bank.usedWords, QList<qsizetype>{0});
        // A single character stands for all the words no longer entry names.
        QuestionInitials settled(overridesOf("行 h\n"));
        QCOMPARE(settled.fill(u"银行旅行").initials, QStringLiteral("yhlh"));
    }

    void compileFillsOnlyBareQuestions()
    {
        QList<qsizetype> asked;
        const BankSource::FillInitials fill = [&](const QString &question, qsizetype line) {
            asked << line;
            return question == "bare" ? QStringLiteral("b") : QString();
        };
        QCOMPARE(compiledLines("bare\nanswer-x\nkept-k\nbare\nnothing\nA\n", fill),
                 QStringList({"bare-b", "answer-x", "kept-k", "bare", "nothing", "A", ""}));
        QCOMPARE(asked, QList<qsizetype>({1, 5}));
    }

    void compileLeavesOutBlankLinesAtTheEnd()
    {
        QCOMPARE(compiledLines("Q-q\nA\n\n\n \n"), QStringList({"Q-q", "A", ""}));
        // Here the first blank line is the last question's empty answer.
        QCOMPARE(compiledLines("Q-q\nA\nQ2-q\n\n\n"), QStringList({"Q-q", "A", "Q2-q", "", ""}));
        QVERIFY(compiledLines("Q-q\nA\n\nQ2-q\n\n").first().contains("line 3: blank line where a question belongs"));
    }

    void sourcesAreToldFromBanks()
    {
        QVERIFY(BankText::isSource(QStringLiteral("问题\r\n答\tA\n").toUtf8()));
        QVERIFY(!BankText::isSource(readFile(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"))));
        QVERIFY(!BankText::isSource("\xd6\xd0\xb9\xfa")); // plain GBK is not UTF-8
        QVERIFY(!BankText::isSource("abc\x01"));
    }

    void readingsAreParsedWithComments()
    {
        const ReadingOverrides overrides = overridesOf("# comment\n\n  银行\tyh  \r\n乐器 yq\n");
        QCOMPARE(overrides.words().size(), 2);
        QCOMPARE(overrides.words().at(0).text, QStringLiteral("银行"));
        QCOMPARE(overrides.words().at(0).initials, QStringLiteral("yh"));
        QCOMPARE(overrides.words().at(1).line, 4);
        ReadingOverrides none;
        QString error;
        QVERIFY(!ReadingOverrides::parse("\xff\n", "r.txt", none, error));
        QCOMPARE(error, QStringLiteral("r.txt: not valid UTF-8"));
    }
};

QTEST_GUILESS_MAIN(TestBankInitials)
#include "tst_BankInitials.moc"
