#include "ProgramRun.h"
#include "QuestionPictures.h"

#include "bank/BankReader.h"
#include "search/SearchResult.h"
#include "search/TolerantSearch.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

ProgramRun bankTool(const QStringList &arguments)
{
    return runProgram(qEnvironmentVariable("VELLMAR_BANK_TOOL"), arguments, 120000);
}

const QString SampleBank = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");

} // namespace

// vellmar-bank recognise on pictures drawn here, in every look, three sizes,
// the four fonts, some wrapped: the question comes back first.
class TestRecognise : public QObject
{
    Q_OBJECT

private slots:
    void picturesOfQuestionsGiveThemFirst()
    {
        QuestionLines lines;
        QVERIFY(BankReader().readQuestionLines(SampleBank, lines));
        QTemporaryDir folder;
        QStringList arguments{QStringLiteral("recognise"), QStringLiteral("--json"), SampleBank};
        QStringList expected;
        QList<bool> clean;
        const QStringList families = pictureFamilies();
        int n = 0;
        for (const auto look : {PictureStyle::Look::BlackOnWhite, PictureStyle::Look::ShadowOnGradient,
                                PictureStyle::Look::ColourOnNoise})
            for (const int size : {14, 16, 20})
                for (const bool wrapped : {false, true}) {
                    const PictureStyle style{look, size, families[n % families.size()], wrapped};
                    const QString question = questionText(lines.at(2 * ((n * 29 + 5) % lines.pairCount()))).toString();
                    const QString path = folder.filePath(QStringLiteral("%1.png").arg(n++));
                    QVERIFY(questionPicture(question, style, quint32(n)).save(path));
                    arguments << path;
                    expected << question;
                    clean << style.isClean();
                }
        // And one question that the bank does not hold.
        const QString missing = QStringLiteral("木卫二的冰层下面可能藏着什么？");
        QVERIFY(questionPicture(missing, PictureStyle{}).save(folder.filePath(QStringLiteral("missing.png"))));
        arguments << folder.filePath(QStringLiteral("missing.png"));

        const ProgramRun run = bankTool(arguments);
        QVERIFY2(run.succeeded(), qPrintable(run.all()));
        const QJsonArray readings = QJsonDocument::fromJson(run.outBytes).array();
        QCOMPARE(readings.size(), expected.size() + 1);
        int noisyRight = 0;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QJsonObject reading = readings.at(i).toObject();
            const QString first = reading.value(QStringLiteral("questions")).toArray().at(0).toString();
            if (clean.at(i))
                QVERIFY2(first == expected.at(i), qPrintable(reading.value(QStringLiteral("text")).toString()));
            else
                noisyRight += first == expected.at(i);
            QCOMPARE(reading.value(QStringLiteral("answers")).toArray().size(),
                     reading.value(QStringLiteral("questions")).toArray().size());
            QVERIFY(reading.value(QStringLiteral("scores")).toArray().at(0).toDouble() >= SureScore);
        }
        QVERIFY2(noisyRight >= 5, qPrintable(QString::number(noisyRight)));
        const QJsonObject unknown = readings.last().toObject();
        QVERIFY(unknown.value(QStringLiteral("text")).toString().contains(QStringLiteral("冰层")));
        QVERIFY(unknown.value(QStringLiteral("scores")).toArray().at(0).toDouble() < SureScore);
        QVERIFY(!unknown.value(QStringLiteral("questions")).toArray().isEmpty());
    }

    void textReportAndBadPictures()
    {
        QTemporaryDir folder;
        const QString picture = folder.filePath(QStringLiteral("q.png"));
        QVERIFY(questionPicture(QStringLiteral("中国的首都是哪座城市？"), PictureStyle{}).save(picture));
        const ProgramRun text = bankTool({QStringLiteral("recognise"), SampleBank, picture});
        QVERIFY2(text.succeeded(), qPrintable(text.all()));
        QVERIFY(text.out.startsWith(picture + QStringLiteral(": read \"中国的首都是哪座城市")));
        QVERIFY(text.out.contains(QStringLiteral("\t中国的首都是哪座城市？\t北京\n")));

        const QString notPicture = folder.filePath(QStringLiteral("notes.png"));
        QFile file(notPicture);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
        file.close();
        const ProgramRun bad = bankTool({QStringLiteral("recognise"), SampleBank, picture, notPicture});
        QCOMPARE(bad.exitCode, 1);
        QVERIFY(bad.out.isEmpty());
        QCOMPARE(bad.err, QStringLiteral("vellmar-bank: %1: not a picture this tool can read (PNG, JPEG, BMP, GIF, PPM)\n").arg(notPicture));
        const ProgramRun absent = bankTool({QStringLiteral("recognise"), SampleBank, folder.filePath(QStringLiteral("none.png"))});
        QCOMPARE(absent.err, QStringLiteral("vellmar-bank: %1: no such file\n").arg(folder.filePath(QStringLiteral("none.png"))));
    }
};

QTEST_MAIN(TestRecognise)
#include "tst_Recognise.moc"
