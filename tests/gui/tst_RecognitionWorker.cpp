#include "QuestionPictures.h"

#include "bank/BankReader.h"
#include "screen/RecognitionWorker.h"
#include "search/SearchResult.h"

#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

// The screen reading's worker, on the real OCR model and the sample bank:
// it lets the model go once no reading came for a while, and the next
// reading loads it again and reads as well as the first.
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
};

QTEST_MAIN(TestRecognitionWorker)
#include "tst_RecognitionWorker.moc"
