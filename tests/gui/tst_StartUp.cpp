#include "TestBanks.h"
#include "TestFiles.h"

#include "bank/BankFile.h"
#include "browser/WebPane.h"
#include "platform/Platform.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The focusable controls in the order the focus chain visits them; the tab
// panel takes the focus through its strip, the browser pane through the
// engine's view inside it.
QList<QWidget *> focusOrder(Form1 &form)
{
    QWidget *pane = form.WebBrowser1()->widget();
    const QList<QWidget *> controls{form.tQ(), form.SSTab1(), form.lA(), form.lQ(), pane};
    QList<QWidget *> order;
    for (QWidget *widget = form.nextInFocusChain(); widget != &form; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy())
            continue;
        QWidget *control = widget == form.SSTab1()->tabBar() ? form.SSTab1() : widget;
        if (pane->isAncestorOf(widget))
            control = pane;
        if (controls.contains(control) && !order.contains(control))
            order << control;
    }
    return order;
}

QWidget *focusedControl(Form1 &form)
{
    QWidget *focus = QApplication::focusWidget();
    return focus == form.SSTab1()->tabBar() ? form.SSTab1() : focus;
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    QTemporaryDir dir;

    void expectFailure(const QString &bankPath)
    {
        Form1 form;
        QString error;
        QVERIFY(!StartUp::run(form, bankPath, error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(bankPath)), qPrintable(error));
        QVERIFY(StartUp::failureMessage(error).contains(error));
        QVERIFY(form.questionLines().isEmpty());
        // The steps before the bank ran: the window stands, with its tip.
        QVERIFY(form.isVisible());
        QCOMPARE(form.labtip()->text(), QStringLiteral("请输入2个汉字或4个字母以上"));
    }

private slots:
    void startsWithTheSampleBank()
    {
        const QString bank = qEnvironmentVariable("VELLMAR_SAMPLE_BANK");
        const QByteArray before = readFile(bank);
        QVERIFY2(!before.isEmpty(), qPrintable(bank));

        Form1 form;
        QString error;
        QVERIFY2(StartUp::run(form, bank, error), qPrintable(error));
        QCOMPARE(readFile(bank), before);
        QVERIFY(form.questionLines().size() > 2);

        QVERIFY(form.isVisible());
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        const QPoint screenCentre = form.screen()->availableGeometry().center();
        QVERIFY((form.geometry().center() - screenCentre).manhattanLength() <= 2);
        QCOMPARE(form.SSTab1()->currentIndex(), 1);
        QCOMPARE(form.tQ()->text(), QStringLiteral("请输入您要搜索的内容"));
        QCOMPARE(form.labtip()->text(), QStringLiteral("请输入2个汉字或4个字母以上"));
        QCOMPARE(form.labtip()->palette().color(QPalette::WindowText), QColor(0x00, 0xFF, 0xFF));
        QCOMPARE(form.lQ()->count() + form.lA()->count(), 0);

        form.tQ()->setText(QStringLiteral("首都"));
        QVERIFY(form.labtip()->text().startsWith(QStringLiteral("查找到")));
        QCOMPARE(form.lA()->count(), form.lQ()->count());
    }

    void bankBehindASymbolicLinkLoads()
    {
        const QString link = dir.filePath(QStringLiteral("linked.dat"));
        QVERIFY(QFile::link(qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), link));
        Form1 form;
        QString error;
        QVERIFY2(StartUp::run(form, link, error), qPrintable(error));
        QVERIFY(form.questionLines().size() > 2);
    }

    void queryBoxComesFirstInTheFocusOrder()
    {
        Form1 form;
        QString error;
        StartUp::run(form, qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), error);
        QCOMPARE(focusOrder(form), (QList<QWidget *>{form.tQ(), form.SSTab1(), form.lA(), form.lQ(), form.WebBrowser1()->widget()}));

        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(focusedControl(form), form.tQ());
        // On the answer tool's tab the browser pane is hidden, so Tab comes round again.
        for (QWidget *next : {static_cast<QWidget *>(form.SSTab1()), static_cast<QWidget *>(form.lA()),
                              static_cast<QWidget *>(form.lQ()), static_cast<QWidget *>(form.tQ())}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedControl(form), next);
        }
    }

    void bankThatCannotBeLoadedStopsStartUp()
    {
        const QString missing = dir.filePath(QStringLiteral("missing/data.dat"));
        expectFailure(missing);
        QVERIFY(!QFile::exists(missing));

        const QString empty = dir.filePath(QStringLiteral("data.dat"));
        writeBankFile(empty, {});
        expectFailure(empty);
        QCOMPARE(QFileInfo(empty).size(), 0);

        expectFailure(dir.path());
    }

    void withoutADisplayTheProgramSaysSo()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("VELLMAR_QUIZ"), QStringList());
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY(program.exitCode() != 0);
        const QStringList lines = QString::fromUtf8(program.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains(QStringLiteral("no display")), qPrintable(lines.first()));
    }

    // Qt itself would abort with its own text on a display it cannot open.
    void unreachableXDisplayIsTheProgramsOwnMessage_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("cause");
        QTest::newRow("no server") << ":4711" << QString() << "X server cannot be reached";
        QTest::newRow("no server, xcb asked for") << ":4711" << "xcb" << "X server cannot be reached";
        QTest::newRow("not a display name") << "no display here" << QString() << "not the name of a display";
    }

    void unreachableXDisplayIsTheProgramsOwnMessage()
    {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QString, cause);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("DISPLAY"), display);
        if (!platform.isEmpty())
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("VELLMAR_QUIZ"), QStringList());
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(err.startsWith(QStringLiteral("vellmar-quiz: cannot open the display \"%1\": ").arg(display)) && err.contains(cause),
                 qPrintable(err));
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY(err.endsWith(u'\n'));
    }

    void sandboxIsOffOnlyForRoot()
    {
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        StartUp::allowBrowserWithoutSandboxWhenRoot();
        QCOMPARE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"), Platform::runsAsRoot());
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_StartUp.moc"
