#include "QuestionPictures.h"

#include "bank/BankReader.h"
#include "screen/RecognitionWorker.h"
#include "search/SearchResult.h"

#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

// The screen reading's worker, on the real OCR model and the sample bank:
// it lets the model go once no reading came for a while, and the next
// reading loads it again and reads as well as the first; a model file that
// is damaged or cut short makes the model missing, and the program lives on.
class TestRecognitionWorker : public QObject
{
    Q_OBJECT

private slots:
    void readsAgainAfterLettingTheModelGo()
    {
        QuestionLines lines;
        QVERIFY(BankReader().readQuestionLines(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), lines));
        const QString question = questionText(lines.at(2 * 5)).toString();
        const QImage picture = questionPicture(question, PictureStyle{});
        RecognitionWorker worker(lines, 300ms);
        QSignalSpy finished(&worker, &RecognitionWorker::finished);

        worker.read(picture, 1);
        QCOMPARE(finished.size(), 1);
        const auto first = finished.takeFirst().at(0).value<ScreenReadingOutcome>();
        if (first.modelMissing)
            QSKIP("the OCR model chi_sim is not installed");
        QCOMPARE(first.result.Questions.value(0), question);
        QVERIFY(worker.modelLoaded());

        QTRY_VERIFY_WITH_TIMEOUT(!worker.modelLoaded(), 5000);
        worker.read(picture, 2);
        QCOMPARE(finished.size(), 1);
        const auto second = finished.takeFirst().at(0).value<ScreenReadingOutcome>();
        QCOMPARE(second.text, first.text);
        QCOMPARE(second.result.Questions.value(0), question);
    }

    void aBrokenModelIsMissing_data()
    {
        QTest::addColumn<QByteArray>("model");
        const QString installed = qEnvironmentVariable("TESSDATA_PREFIX", QStringLiteral("/usr/share/tesseract-ocr/5/tessdata"))
                                  + QStringLiteral("/chi_sim.traineddata");
        QFile file(installed);
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("the OCR model chi_sim is not installed");
        const QByteArray model = file.readAll();
        // The network's first layer names its type; Tesseract asserts on a
        // name it does not know.
        QByteArray damaged = model;
        const qsizetype layerType = damaged.indexOf("Series");
        QVERIFY(layerType > 0);
        damaged[layerType] = 'T';
        QTest::newRow("one byte of the network changed") << damaged;
        QTest::newRow("cut short") << model.left(model.size() / 2);
        QTest::newRow("not a model") << QByteArray(4096, 'x');
    }

    void aBrokenModelIsMissing()
    {
        QFETCH(QByteArray, model);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("chi_sim.traineddata")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(model) == model.size());
        file.close();
        const QByteArray before = qgetenv("TESSDATA_PREFIX");
        const bool hadPrefix = qEnvironmentVariableIsSet("TESSDATA_PREFIX");
        const auto restore = qScopeGuard([&] {
            if (hadPrefix)
                qputenv("TESSDATA_PREFIX", before);
            else
                qunsetenv("TESSDATA_PREFIX");
        });
        qputenv("TESSDATA_PREFIX", QFile::encodeName(folder.path()));

        QuestionLines lines;
        QVERIFY(BankReader().readQuestionLines(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), lines));
        RecognitionWorker worker(lines);
        QSignalSpy finished(&worker, &RecognitionWorker::finished);
        worker.read(questionPicture(questionText(lines.at(0)).toString(), PictureStyle{}), 1);
        QCOMPARE(finished.size(), 1);
        QVERIFY(finished.takeFirst().at(0).value<ScreenReadingOutcome>().modelMissing);
        QVERIFY(!worker.modelLoaded());
    }
};

QTEST_MAIN(TestRecognitionWorker)
#include "tst_RecognitionWorker.moc"
