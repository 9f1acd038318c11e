#include "screen/RecogniserPlugin.h"
#include "screen/RecognitionWorker.h"
#include "ui/BrowserPlugin.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

// Built into a folder of its own with no plugins beside it: the window is
// made all the same, its browser tab names the browser's file missing, and
// the first reading of the screen names the text recogniser's.
class TestBrowserPluginMissing : public QObject
{
    Q_OBJECT

public:
    static void initMain() { StartUp::prepareBrowser(); }

private slots:
    void theTabNamesTheMissingPlugin()
    {
        const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/plugins/vellmar-browser-pane.so");
        QCOMPARE(BrowserPlugin::defaultFile(), expected);
        QVERIFY(!BrowserPlugin::engine());
        Form1 form;
        QVERIFY(!form.WebBrowser1());
        const auto *note = form.findChild<QLabel *>(QStringLiteral("WebBrowser1"));
        QVERIFY(note);
        QCOMPARE(note->text(), QStringLiteral("资料站的浏览器无法打开：找不到浏览器插件“%1”。").arg(expected));
        QCOMPARE(note->parentWidget(), form.SSTab1()->widget(2));
    }

    void theFirstReadingNamesTheMissingRecogniser()
    {
        const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/plugins/vellmar-text-recogniser.so");
        QCOMPARE(RecogniserPlugin::defaultFile(), expected);
        const QuestionLines lines;
        RecognitionWorker worker(lines);
        // Not looked for before the first reading.
        QVERIFY(RecogniserPlugin::problem().isEmpty());
        QSignalSpy finished(&worker, &RecognitionWorker::finished);
        for (const quint64 ticket : {1, 2}) {
            worker.read(QImage(40, 20, QImage::Format_RGB32), ticket);
            QCOMPARE(finished.size(), 1);
            const auto outcome = finished.takeFirst().at(0).value<ScreenReadingOutcome>();
            QCOMPARE(outcome.ticket, ticket);
            QCOMPARE(outcome.recogniserMissing, QStringLiteral("无法识别屏幕文字：找不到文字识别插件“%1”。").arg(expected));
            QVERIFY(outcome.text.isEmpty());
        }
        QVERIFY(!worker.modelLoaded());
    }
};

QTEST_MAIN(TestBrowserPluginMissing)
#include "tst_BrowserPluginMissing.moc"
