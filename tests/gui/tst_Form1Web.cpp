#include "LoopbackHttpServer.h"

#include "browser/WebAddresses.h"
#include "browser/WebPane.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// The engine starts slowly on a loaded machine.
constexpr int Timeout = 30000;

QLabel *label(Form1 &form, const char *name)
{
    return form.findChild<QLabel *>(QLatin1String(name));
}

const QByteArray LinksPage = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                            "<a href=\"http://portal.test/Sorting.asp?sortid=1\">第一类</a>"
                            "<a href=\"http://portal.test/news.asp\">新闻</a>"
                            "<a href=\"http://portal.test/sorting.ASP?SortID=2\"></a>"
                            "</body></html>";

} // namespace

// The window's web side: the two page shortcuts and the browser pane's harvest.
class TestForm1Web : public QObject
{
    Q_OBJECT

public:
    // The engine runs as the program runs it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    std::unique_ptr<Form1> form;
    QList<QUrl> opened;

    void clickLabelOnTab(const char *name, int tab)
    {
        form->SSTab1()->setCurrentIndex(tab);
        QTest::mouseClick(label(*form, name), Qt::LeftButton, {}, QPoint(10, 8));
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        opened.clear();
        form->opener().replace([this](const QUrl &address) {
            opened << address;
            return true;
        });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup() { form.reset(); }

    void shortcutsOpenTheirPageOncePerClick()
    {
        clickLabelOnTab("Label8", 1);
        QCOMPARE(opened, QList<QUrl>{QUrl(WebAddresses::ForumThread)});
        clickLabelOnTab("Label5_5", 0);
        QCOMPARE(opened, (QList<QUrl>{QUrl(WebAddresses::ForumThread), QUrl(WebAddresses::SectionHomePage)}));
        clickLabelOnTab("Label5_5", 0);
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened.last(), QUrl(WebAddresses::SectionHomePage));
        QCOMPARE(QUrl(WebAddresses::SectionHomePage).path(), QString());
    }

    void hoveringShowsTheHandAndOpensNothing()
    {
        for (const char *name : {"Label5_5", "Label8"}) {
            QLabel *shortcut = label(*form, name);
            QTest::mouseMove(shortcut, QPoint(5, 5));
            QCOMPARE(shortcut->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(shortcut->cursor().hotSpot(), QPoint(12, 4));
        }
        // A press that is released off the label is no click either.
        QLabel *shortcut = label(*form, "Label8");
        QTest::mousePress(shortcut, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(shortcut, Qt::LeftButton, {}, QPoint(200, 5));
        QVERIFY(opened.isEmpty());
    }

    void failureToOpenIsReportedAndTheWindowCarriesOn()
    {
        form->opener().replace([](const QUrl &) { return false; });
        clickLabelOnTab("Label8", 1);
        auto *message = form->findChild<QMessageBox *>(QStringLiteral("openFailedMessage"));
        QVERIFY(message);
        QTRY_VERIFY(message->isVisible());
        QVERIFY(message->text().contains(QString::fromLatin1(WebAddresses::ForumThread)));
        // Not modal: the window goes on taking queries meanwhile.
        QCOMPARE(message->windowModality(), Qt::NonModal);
        message->accept();
    }

    void startNavigationRequestsTheStartPage()
    {
        QSignalSpy loads(form->WebBrowser1()->widget(), SIGNAL(DownloadComplete()));
        form->startBrowserNavigation();
        const auto *view = qobject_cast<QWebEngineView *>(form->WebBrowser1()->widget());
        QTRY_COMPARE_WITH_TIMEOUT(view->page()->requestedUrl(), QUrl(WebAddresses::StartPage), Timeout);
        // The built-in host cannot be reached here; the failed load is harmless.
        QTRY_VERIFY_WITH_TIMEOUT(loads.count() >= 1, Timeout);
        QVERIFY(form->harvest().rows().isEmpty());
    }

    void everyFinishedLoadHarvestsItsLinks()
    {
        LoopbackHttpServer server;
        server.addPage("/links.html", LinksPage);
        const QUrl url = server.url("/links.html");
        form->WebBrowser1()->Navigate(url);
        const QStringList onePass{
            QStringLiteral("链接地址是http://portal.test/Sorting.asp?sortid=1 链接的文字是 <第一类>"),
            QStringLiteral("链接地址是http://portal.test/sorting.ASP?SortID=2 链接的文字是 <>")};
        QTRY_COMPARE_WITH_TIMEOUT(form->harvest().rows(), onePass, Timeout);
        form->WebBrowser1()->Navigate(url);
        QTRY_COMPARE_WITH_TIMEOUT(form->harvest().rows(), onePass + onePass, Timeout);
    }
};

QTEST_MAIN(TestForm1Web)
#include "tst_Form1Web.moc"
