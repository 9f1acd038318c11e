#include "HarvestLineText.h"
#include "LoopbackHttpServer.h"

#include "browser/BrowserPane.h"
#include "browser/EngineFootprint.h"
#include "browser/EngineStart.h"
#include "browser/LinkRows.h"
#include "browser/HarvestLinks.h"
#include "browser/WebAddresses.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

#include <memory>

namespace {

// The engine starts slowly on a loaded machine.
constexpr int Timeout = 30000;

const QString Pattern = QStringLiteral("Sorting.asp?sortid=");

// An unknown host that fails at once instead of waiting on a name server.
const QUrl UnknownHost(QStringLiteral("http://unknown.harlune.example/"));

// A loopback address where nothing listens: its connection is refused.
QUrl refusingAddress()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        qFatal("cannot find a free port");
    return QUrl(QStringLiteral("http://127.0.0.1:%1/Sorting.asp?sortid=1").arg(probe.serverPort()));
}

QByteArray page(const QByteArray &body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>" + body
        + "</body></html>";
}

const QByteArray LinksPage = page(R"(
<a href="http://portal.test/Sorting.asp?sortid=1">第一类</a>
<a href="http://portal.test/news.asp?id=1">新闻</a>
<p><a href="http://portal.test/SORTING.ASP?SORTID=2">第<b>二</b>类</a></p>
<a href="http://portal.test/Sorting.asp?sortid">没有等号</a>
<a name="no-href">没有地址</a>
<map name="m"><area shape="rect" coords="0,0,9,9" href="http://portal.test/sorting.asp?sortid=3"></map>
<a href="Sorting.asp?sortid=4"></a>
<a href="/dir/Sorting.asp?SortId=5">相对</a>
<a href="http://portal.test/Sorting.asp?sortid=1">第一类</a>
)");

const QByteArray NoLinksPage = page("<p>Sorting.asp?sortid=1</p><a name=\"x\">无</a>");

// Everything the harvest reads is redefined for the page's own scripts.
const QByteArray TamperingPage = page(R"(
<a href="/Sorting.asp?sortid=8">真的</a>
<script>
var fake = 'http://evil.test/Sorting.asp?sortid=666';
Array.from = function () { return [fake]; };
Array.prototype.push = function () { return 0; };
Object.defineProperty(document, 'links', { get: function () { return []; } });
Object.defineProperty(HTMLAnchorElement.prototype, 'href', { get: function () { return fake; } });
Object.defineProperty(HTMLElement.prototype, 'innerText', { get: function () { return '假的'; } });
Object.defineProperty(HTMLCollection.prototype, 'length', { get: function () { return 0; } });
</script>
)");

// Keeps its renderer busy for a while once loaded, so a pass asked of it waits.
const QByteArray BusyPage = page(R"(
<a href="/Sorting.asp?sortid=9">忙</a>
<script>
addEventListener('load', function () {
    setTimeout(function () { var start = Date.now(); while (Date.now() - start < 3000) {} }, 0);
});
</script>
)");

const QByteArray StartPage = page(R"(
<a href="/Sorting.asp?sortid=11">一</a>
<a href="/Sorting.asp?sortid=12">二</a>
<a href="/Sorting.asp?sortid=13">三</a>
)");

// A pane wired as the window wires it: every finished load runs a pass.
struct HarvestingPane
{
    HarvestingPane()
    {
        QObject::connect(&pane, &BrowserPane::DownloadComplete, &pane,
                         [this] { harvestLinks(pane, Pattern, list); });
    }

    BrowserPane pane;
    LinkRows list;
    QSignalSpy completes{&pane, &BrowserPane::DownloadComplete};
};

// The links of one pass, once it has been answered.
QList<PageLink> readLinks(BrowserPane &pane)
{
    std::optional<QList<PageLink>> links;
    pane.readLinks([&links](const QList<PageLink> &answer) { links = answer; });
    if (!QTest::qWaitFor([&links] { return links.has_value(); }, Timeout))
        qFatal("a link-reading pass was never answered");
    return *links;
}

QString runInPageWorld(QWebEnginePage *page, const QString &script)
{
    std::optional<QVariant> result;
    page->runJavaScript(script, QWebEngineScript::MainWorld, [&result](const QVariant &value) { result = value; });
    if (!QTest::qWaitFor([&result] { return result.has_value(); }, Timeout))
        qFatal("a page script was never answered");
    return result->toString();
}

} // namespace

class TestBrowserPane : public QObject
{
    Q_OBJECT

public:
    // The engine runs as the program runs it.
    static void initMain()
    {
        EngineFootprint::applyBeforeStart();
        EngineStart::prepareBeforeApplication();
    }

private slots:
    void initTestCase()
    {
        m_server.addPage("/links.html", LinksPage);
        m_server.addPage("/none.html", NoLinksPage);
        m_server.addPage("/tamper.html", TamperingPage);
        m_server.addPage("/busy.html", BusyPage);
        m_server.addPage(QUrl(WebAddresses::StartPage).path().toUtf8(), StartPage);
        // The portal's hosts lead to the local server; read when the engine
        // first starts, which is after this.
        const QByteArray local = "127.0.0.1:" + QByteArray::number(m_server.port());
        const QByteArray rules = "MAP " + QUrl(WebAddresses::StartPage).host().toUtf8() + ' ' + local + ", MAP "
            + QUrl(WebAddresses::ForumThread).host().toUtf8() + ' ' + local + ", MAP "
            + UnknownHost.host().toUtf8() + " ~NOTFOUND";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --host-resolver-rules=\"" + rules + '"');
    }

    void navigateRequestsExactlyTheStartAddress()
    {
        HarvestingPane harvesting;
        const QUrl start(WebAddresses::StartPage);
        harvesting.pane.Navigate(start);
        QCOMPARE(harvesting.completes.count(), 0); // returned before loading

        QTRY_COMPARE_WITH_TIMEOUT(harvesting.list.rows().size(), 3, Timeout);
        const QString base = QStringLiteral("http://") + start.host();
        QCOMPARE(harvesting.list.rows(),
                 QStringList({harvestLineText(base + "/Sorting.asp?sortid=11", "一"), harvestLineText(base + "/Sorting.asp?sortid=12", "二"),
                              harvestLineText(base + "/Sorting.asp?sortid=13", "三")}));
        QCOMPARE(harvesting.pane.url(), start);

        const QList<LoopbackHttpServer::Request> requests = requestsFor(start.host());
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].Method, "GET");
        QCOMPARE(requests[0].Target, start.path().toUtf8());
        const QSet<QByteArray> browserHeaders = {
            "host", "connection", "upgrade-insecure-requests", "user-agent", "accept", "accept-encoding",
            "accept-language", "cache-control", "pragma", "dnt", "sec-fetch-site", "sec-fetch-mode",
            "sec-fetch-user", "sec-fetch-dest", "sec-ch-ua", "sec-ch-ua-mobile", "sec-ch-ua-platform"};
        for (const auto &[name, value] : requests[0].Headers)
            QVERIFY2(browserHeaders.contains(name.toLower()), name + ": " + value);
    }

    // The pane's pages and their cache stay in memory: nothing is written to disk.
    void pagesKeepNoDiskCache()
    {
        BrowserPane pane;
        QWebEngineProfile *profile = pane.page()->profile();
        QVERIFY(profile->isOffTheRecord());
        QCOMPARE(profile->httpCacheType(), QWebEngineProfile::MemoryHttpCache);
    }

    void harvestsMatchingLinksInDocumentOrder_data()
    {
        QTest::addColumn<bool>("shown");
        // The pane sits on a tab that is hidden at start.
        QTest::newRow("hidden") << false;
        QTest::newRow("shown") << true;
    }

    void harvestsMatchingLinksInDocumentOrder()
    {
        QFETCH(bool, shown);
        HarvestingPane harvesting;
        harvesting.pane.setVisible(shown);
        harvesting.pane.Navigate(m_server.url("/links.html"));

        const QString local = m_server.url(QString()).toString();
        const QStringList lines = {
            harvestLineText("http://portal.test/Sorting.asp?sortid=1", "第一类"),
            harvestLineText("http://portal.test/SORTING.ASP?SORTID=2", "第二类"),
            harvestLineText("http://portal.test/sorting.asp?sortid=3", ""), // an area has no text
            harvestLineText(local + "/Sorting.asp?sortid=4", ""),
            harvestLineText(local + "/dir/Sorting.asp?SortId=5", "相对"),
            harvestLineText("http://portal.test/Sorting.asp?sortid=1", "第一类"),
        };
        QTRY_COMPARE_WITH_TIMEOUT(harvesting.list.rows(), lines, Timeout);

        // Every load is harvested again, and nothing is ever removed.
        harvesting.pane.Navigate(m_server.url("/none.html"));
        QTRY_COMPARE_WITH_TIMEOUT(harvesting.completes.count(), 2, Timeout);
        harvesting.pane.Navigate(m_server.url("/links.html"));
        QTRY_COMPARE_WITH_TIMEOUT(harvesting.list.rows(), lines + lines, Timeout);
        QCOMPARE(harvesting.completes.count(), 3);
    }

    void noDocumentOrNoLinksGivesAnEmptyPass()
    {
        BrowserPane pane;
        QVERIFY(readLinks(pane).isEmpty());

        QSignalSpy completes(&pane, &BrowserPane::DownloadComplete);
        pane.Navigate(m_server.url("/none.html"));
        QVERIFY(completes.wait(Timeout));
        QVERIFY(readLinks(pane).isEmpty());
    }

    void failedNavigationStillReportsAndHarvestsNothing_data()
    {
        QTest::addColumn<QUrl>("address");
        QTest::addColumn<QString>("error");
        QTest::newRow("connection refused") << refusingAddress() << "ERR_CONNECTION_REFUSED";
        QTest::newRow("unknown host") << UnknownHost.resolved(QUrl(QStringLiteral("/Sorting.asp?sortid=1")))
                                      << "ERR_NAME_NOT_RESOLVED";
    }

    void failedNavigationStillReportsAndHarvestsNothing()
    {
        QFETCH(QUrl, address);
        QFETCH(QString, error);
        HarvestingPane harvesting;
        harvesting.pane.Navigate(address);
        QTRY_COMPARE_WITH_TIMEOUT(harvesting.completes.count(), 1, Timeout);
        // The engine's error page shows in its place and holds no matching link.
        readLinks(harvesting.pane);
        QVERIFY(harvesting.list.rows().isEmpty());
        const QString shown = runInPageWorld(harvesting.pane.page(), "document.body.innerText");
        QVERIFY2(shown.contains(error), qPrintable(shown));
    }

    void pageScriptsCannotTamperWithTheHarvest()
    {
        HarvestingPane harvesting;
        harvesting.pane.Navigate(m_server.url("/tamper.html"));
        QTRY_COMPARE_WITH_TIMEOUT(harvesting.completes.count(), 1, Timeout);
        // The page's own world does see its redefinitions.
        QCOMPARE(runInPageWorld(harvesting.pane.page(), "document.links.length + ' ' + "
                                                        "document.createElement('a').href"),
                 "0 http://evil.test/Sorting.asp?sortid=666");

        QTRY_COMPARE_WITH_TIMEOUT(harvesting.list.rows(),
                                  QStringList(harvestLineText(m_server.url("/Sorting.asp?sortid=8").toString(), "真的")),
                                  Timeout);
    }

    void passOverAReplacedDocumentNeverHoldsUpLaterOnes()
    {
        BrowserPane pane;
        QSignalSpy completes(&pane, &BrowserPane::DownloadComplete);
        pane.Navigate(m_server.url("/busy.html"));
        QVERIFY(completes.wait(Timeout));
        QStringList delivered;
        pane.readLinks([&delivered](const QList<PageLink> &) { delivered << "busy"; });

        // Another site, so the engine may move it to another renderer
        // process and never answer the pass over the busy page.
        QUrl other = m_server.url("/links.html");
        other.setHost(QStringLiteral("localhost"));
        pane.Navigate(other);
        QVERIFY(completes.wait(Timeout));
        pane.readLinks([&delivered](const QList<PageLink> &links) {
            delivered << "other" + QString::number(links.size());
        });
        QTRY_VERIFY_WITH_TIMEOUT(delivered.contains("other8"), Timeout);
        QVERIFY(delivered == QStringList({"other8"}) || delivered == QStringList({"busy", "other8"}));
    }

    void passStillWaitingWhenThePaneGoesIsDropped()
    {
        auto pane = std::make_unique<BrowserPane>();
        QSignalSpy completes(pane.get(), &BrowserPane::DownloadComplete);
        pane->Navigate(m_server.url("/links.html"));
        QVERIFY(completes.wait(Timeout));
        bool delivered = false;
        pane->readLinks([&delivered](const QList<PageLink> &) { delivered = true; });
        // No event runs in between, so the answer cannot have come yet.
        pane.reset();
        QTest::qWait(500);
        QVERIFY(!delivered);
    }

private:
    QList<LoopbackHttpServer::Request> requestsFor(const QString &host) const
    {
        QList<LoopbackHttpServer::Request> found;
        for (const LoopbackHttpServer::Request &request : m_server.pageRequests()) {
            if (request.header("Host") == host.toUtf8())
                found << request;
        }
        return found;
    }

    LoopbackHttpServer m_server;
};

QTEST_MAIN(TestBrowserPane)
#include "tst_BrowserPane.moc"
