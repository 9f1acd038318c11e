#include "ui/BrowserPlugin.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

// Built into a folder of its own with no browser plugin beside it: the
// window is made all the same, and its browser tab names the file missing.
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
};

QTEST_MAIN(TestBrowserPluginMissing)
#include "tst_BrowserPluginMissing.moc"
