#include "LoopbackHttpServer.h"

#include "browser/BrowserPane.h"
#include "browser/HarvestLinks.h"
#include "browser/LinkRows.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

constexpr int Timeout = 30000;

QByteArray page(const QByteArray &body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>" + body
        + "</body></html>";
}

} // namespace

// Links that ask for a new window open in the pane itself.
class TestNewWindowLinks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_server.addPage("/start.html",
                         page("<a id=\"blank\" target=\"_blank\" href=\"/sorts.html\">分类</a>"
                              "<a id=\"script\" href=\"#\" onclick=\"window.open('/sorts.html'); return false\">脚本</a>"));
        m_server.addPage("/sorts.html", page("<a href=\"/Sorting.asp?sortid=7\">七</a>"));
    }

    void followedInThePaneAndHarvested_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("target _blank") << "blank";
        QTest::newRow("window.open") << "script";
    }

    void followedInThePaneAndHarvested()
    {
        QFETCH(QString, link);
        BrowserPane pane;
        LinkRows list;
        QObject::connect(&pane, &BrowserPane::DownloadComplete, &pane,
                         [&] { harvestLinks(pane, QStringLiteral("Sorting.asp?sortid="), list); });
        QSignalSpy completes(&pane, &BrowserPane::DownloadComplete);
        pane.resize(400, 300);
        pane.show();
        pane.Navigate(m_server.url("/start.html"));
        QVERIFY(completes.wait(Timeout));

        pane.page()->runJavaScript(QStringLiteral("document.getElementById('%1').click()").arg(link),
                                   QWebEngineScript::ApplicationWorld);
        QTRY_COMPARE_WITH_TIMEOUT(pane.url(), m_server.url("/sorts.html"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(list.rows().size(), 1, Timeout);
        QVERIFY(list.rows().first().contains(m_server.url("/Sorting.asp?sortid=7").toString()));
    }

private:
    LoopbackHttpServer m_server;
};

QTEST_MAIN(TestNewWindowLinks)
#include "tst_NewWindowLinks.moc"
