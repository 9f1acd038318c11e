#include "LoopbackHttpServer.h"
#include "TestFiles.h"

#include "bank/QuestionLines.h"
#include "browser/WebPane.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <memory>

namespace {

// The engine starts slowly on a loaded machine.
constexpr int Timeout = 30000;
constexpr int BrowserTab = 2;
constexpr int QuizTab = 1;

QByteArray page(const QByteArray &body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>start</title></head><body>" + body
        + "</body></html>";
}

// Asks alert, confirm and prompt without end, straight after one another or
// from a timer; the title tells how far it got and what it was answered.
const QByteArray AskOnce = R"(
function askOnce(asked) {
    alert('alert ' + asked);
    var confirmed = confirm('confirm ' + asked);
    var typed = prompt('prompt ' + asked, 'default');
    if (confirmed || typed !== null) {
        document.title = 'answered ' + confirmed + ' ' + typed;
        return false;
    }
    if (asked % 20 == 0)
        document.title = 'asked ' + asked;
    return true;
}
)";
const QByteArray DialogsInALoop = page("<script>" + AskOnce + R"(
addEventListener('load', function () { for (var asked = 1; askOnce(asked); ++asked) {} });
</script>)");
const QByteArray DialogsFromATimer = page("<script>" + AskOnce + R"(
// A hidden page's timers run about once a second, so each round asks a few times.
var asked = 0;
var timer = setInterval(function () {
    for (var round = 0; round < 10; ++round) {
        if (!askOnce(++asked)) {
            clearInterval(timer);
            return;
        }
    }
}, 0);
</script>)");

// A link that fills the page, so a click anywhere on the pane follows it;
// the title tells that the page saw the click.
QByteArray wholePageLink(const QByteArray &address)
{
    return "<a href=\"" + address + "\" onclick=\"document.title = 'clicked'\""
        + " style=\"position:fixed;left:0;top:0;width:100%;height:100%\">go</a>";
}

// Objects to being left; the engine asks before leaving it once the user has
// touched it.
const QByteArray HoldingPage = page(wholePageLink("/harvest.html") + R"(
<script>
addEventListener('beforeunload', function (event) { event.preventDefault(); event.returnValue = 'stay'; });
</script>)");

const QByteArray HarvestPage = page(R"(<a href="http://portal.test/Sorting.asp?sortid=7">第七类</a>)");

// Many matching links, and the page loads itself again 50 ms after every load.
constexpr int ReloadingLinks = 2000;
const QByteArray ReloadingPage = page(R"(
<script>
for (var id = 0; id < )" + QByteArray::number(ReloadingLinks) + R"(; ++id)
    document.write('<a href="http://portal.test/Sorting.asp?sortid=' + id + '">第' + id + '类</a> ');
addEventListener('load', function () { setTimeout(function () { location.reload(); }, 50); });
</script>)");

QString expectedReloadLine(int id)
{
    return QStringLiteral("链接地址是http://portal.test/Sorting.asp?sortid=%1 链接的文字是 <第%1类>").arg(id);
}

// Closes any modal window that comes up, and remembers that one did.
class ModalWatch : public QObject
{
public:
    ModalWatch()
    {
        m_timer.callOnTimeout(this, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                m_seen << QString::fromLatin1(modal->metaObject()->className()) + ": " + modal->windowTitle();
                modal->close();
            }
        });
        m_timer.start(20);
    }

    const QStringList &seen() const { return m_seen; }

private:
    QTimer m_timer;
    QStringList m_seen;
};

// Stands in for the desktop's handlers of the schemes a page may try.
class DesktopRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &address) { opened << address; }
};

const QStringList ProbedSchemes{QStringLiteral("mailto"), QStringLiteral("vellmarprobe")};

} // namespace

// Pages in the browser pane, however hostile, leave the window usable and
// the desktop alone.
class TestHostilePages : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    LoopbackHttpServer server;
    QTemporaryDir dir;
    DesktopRecorder desktop;
    std::unique_ptr<Form1> form;

    QString openerLog() const { return dir.filePath(QStringLiteral("opener.log")); }

    // The engine's view that the plugin made the pane of.
    QWebEngineView *view() const { return qobject_cast<QWebEngineView *>(form->WebBrowser1()->widget()); }

    void loadInPane(const QByteArray &path)
    {
        QSignalSpy loads(form->WebBrowser1()->widget(), SIGNAL(DownloadComplete()));
        form->WebBrowser1()->Navigate(server.url(QString::fromLatin1(path)));
        QVERIFY(loads.wait(Timeout));
    }

    // A real click in the middle of the view, again until the page has seen
    // one or has gone: a page only just loaded may not take input yet.
    static void clickInto(QWebEngineView *view)
    {
        const QUrl clicked = view->url();
        const auto seen = [view, clicked] { return view->title() == "clicked" || view->url() != clicked; };
        QVERIFY(QTest::qWaitFor(
            [&] {
                QWidget *surface = view->focusProxy();
                if (surface)
                    QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
                return QTest::qWaitFor(seen, 500);
            },
            Timeout));
    }

    // Keys and clicks go through the window system as the user's would, so
    // a modal window in front would swallow them.
    void searchThroughTheWindow(const QByteArray &letters)
    {
        QWindow *window = form->windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, {}, form->tQ()->mapTo(form.get(), QPoint(5, 5)));
        for (char letter : letters)
            QTest::keyClick(window, letter);
    }

private slots:
    void initTestCase()
    {
        const QList<QPair<QByteArray, QByteArray>> pages{
            {"/loop.html", DialogsInALoop},
            {"/timer.html", DialogsFromATimer},
            {"/holding.html", HoldingPage},
            {"/harvest.html", HarvestPage},
            {"/to-harvest.html", page(wholePageLink("/harvest.html"))},
            {"/reloading.html", ReloadingPage},
        };
        for (const auto &[path, html] : pages)
            server.addPage(path, html);
        for (const QString &scheme : ProbedSchemes) {
            server.addPage("/" + scheme.toLatin1() + ".html",
                           page(wholePageLink(scheme.toLatin1() + ":probe@harlune.example")));
            QDesktopServices::setUrlHandler(scheme, &desktop, "open");
        }
        // Should anything reach past the handlers to the desktop's opener,
        // this one is found first and says so.
        const QString opener = dir.filePath(QStringLiteral("xdg-open"));
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$@\" >> '" + openerLog().toUtf8() + "'\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        qputenv("PATH", dir.path().toUtf8() + ':' + qgetenv("PATH"));
    }

    void cleanupTestCase()
    {
        for (const QString &scheme : ProbedSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void init()
    {
        desktop.opened.clear();
        form = std::make_unique<Form1>();
        form->setQuestionLines(QuestionLines::fromText(QStringLiteral("中国的首都是哪座城市？-zgdsdsnzcs\r\n北京")));
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup() { form.reset(); }

    void loopingDialogsLeaveTheQueryBoxUsable_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("in a loop") << QByteArray("/loop.html");
        QTest::newRow("from a timer") << QByteArray("/timer.html");
    }

    void loopingDialogsLeaveTheQueryBoxUsable()
    {
        QFETCH(QByteArray, path);
        ModalWatch watch;
        QCOMPARE(form->SSTab1()->currentIndex(), QuizTab);
        form->WebBrowser1()->Navigate(server.url(QString::fromLatin1(path)));
        // The page goes on asking: each alert dismissed, confirm said no to,
        // prompt cancelled.
        QTRY_VERIFY_WITH_TIMEOUT(view()->title().startsWith("asked 100"), Timeout);
        QVERIFY2(!view()->title().startsWith("answered"), qPrintable(view()->title()));

        form->tQ()->setFocus();
        searchThroughTheWindow("zgds");
        QTRY_COMPARE(form->tQ()->text(), QStringLiteral("zgds"));
        QCOMPARE(form->lQ()->count(), 1);
        QCOMPARE(form->lQ()->item(0)->text(), QStringLiteral("中国的首都是哪座城市？"));
        QCOMPARE(form->labtip()->text(), QStringLiteral("查找到1条"));
        QVERIFY2(watch.seen().isEmpty(), qPrintable(watch.seen().join('\n')));
    }

    void pageCannotHoldThePane()
    {
        ModalWatch watch;
        form->SSTab1()->setCurrentIndex(BrowserTab);
        loadInPane("/holding.html");
        // The click touches the page and follows its link; the engine asks
        // whether to leave, and the pane leaves.
        clickInto(view());
        QTRY_COMPARE_WITH_TIMEOUT(view()->url(), server.url("/harvest.html"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(form->harvest().size(), 1, Timeout);
        QVERIFY2(watch.seen().isEmpty(), qPrintable(watch.seen().join('\n')));
    }

    void otherSchemesNeverReachTheDesktop_data()
    {
        QTest::addColumn<QString>("scheme");
        for (const QString &scheme : ProbedSchemes)
            QTest::newRow(qPrintable(scheme)) << scheme;
    }

    void otherSchemesNeverReachTheDesktop()
    {
        QFETCH(QString, scheme);
        const QByteArray path = "/" + scheme.toLatin1() + ".html";

        // An engine left as it comes hands the link to the desktop, and the
        // stand-ins see it.
        {
            QWebEngineView plain;
            plain.resize(300, 200);
            plain.show();
            QVERIFY(QTest::qWaitForWindowExposed(&plain));
            QSignalSpy loads(&plain, &QWebEngineView::loadFinished);
            plain.load(server.url(QString::fromLatin1(path)));
            QVERIFY(loads.wait(Timeout));
            clickInto(&plain);
            QTRY_COMPARE_WITH_TIMEOUT(desktop.opened.size(), 1, Timeout);
            QCOMPARE(desktop.opened.first().scheme(), scheme);
            desktop.opened.clear();
        }

        form->SSTab1()->setCurrentIndex(BrowserTab);
        loadInPane(path);
        clickInto(view());
        QTest::qWait(2000);
        QVERIFY(desktop.opened.isEmpty());
        QVERIFY2(!QFile::exists(openerLog()), readFile(openerLog()).constData());
        QCOMPARE(view()->url(), server.url(QString::fromLatin1(path)));
    }

    // Not even the program itself opens anything but web pages in the pane.
    void localFilesAreNotOpened()
    {
        const QString local = dir.filePath(QStringLiteral("local.html"));
        writeFile(local, HarvestPage);
        form->WebBrowser1()->Navigate(QUrl::fromLocalFile(local));
        QTest::qWait(2000);
        QVERIFY(view()->url().scheme() != QStringLiteral("file"));
        QCOMPARE(form->harvest().size(), 0);
        loadInPane("/harvest.html");
        QTRY_COMPARE_WITH_TIMEOUT(form->harvest().size(), 1, Timeout);
    }

    void webLinksStillOpenInThePane()
    {
        form->SSTab1()->setCurrentIndex(BrowserTab);
        loadInPane("/to-harvest.html");
        clickInto(view());
        QTRY_COMPARE_WITH_TIMEOUT(view()->url(), server.url("/harvest.html"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(form->harvest().rows(),
                                  QStringList(QStringLiteral("链接地址是http://portal.test/Sorting.asp?sortid=7 "
                                                             "链接的文字是 <第七类>")),
                                  Timeout);
        QVERIFY(desktop.opened.isEmpty());
    }

    // Every pass over the page reloading itself is kept whole and in order;
    // a pass that met the next load half parsed keeps the links it saw.
    void reloadingPageKeepsEveryPass()
    {
        form->SSTab1()->setCurrentIndex(BrowserTab);
        form->WebBrowser1()->Navigate(server.url("/reloading.html"));
        QTRY_VERIFY_WITH_TIMEOUT(form->harvest().size() >= 4 * ReloadingLinks, Timeout);
        const QStringList rows = form->harvest().rows();
        QCOMPARE(rows.size(), form->harvest().size());
        int completePasses = 0;
        int next = 0;
        for (const QString &row : rows) {
            if (next > 0 && row != expectedReloadLine(next))
                next = 0; // a new pass
            QCOMPARE(row, expectedReloadLine(next));
            if (++next == ReloadingLinks) {
                ++completePasses;
                next = 0;
            }
        }
        QVERIFY2(completePasses >= 3, qPrintable(QString::number(completePasses)));
    }
};

QTEST_MAIN(TestHostilePages)
#include "tst_HostilePages.moc"
