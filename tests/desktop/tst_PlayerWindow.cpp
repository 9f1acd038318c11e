#include "TestBanks.h"

#include "bank/BankFile.h"
#include "ui/ControlLayout.h"
#include "ui/Form1.h"
#include "ui/PlayerSettings.h"
#include "ui/StartUp.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QFontInfo>
#include <QMimeData>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWindow>

// The window as a player meets it on a real X server with a window manager
// (CTest runs this under Xvfb with Openbox, once with each Chinese font the
// package accepts, at scale 1 and 2 and at 144 dpi): every label's text
// whole, and the two lists row for row whatever moves them. Input comes
// through the X server (xdotool), as a player's does.
class TestPlayerWindow : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    QTemporaryDir dir;
    // The player's folders, set before the window exists.
    QTemporaryDir player = [] {
        QTemporaryDir folder;
        qputenv("XDG_DATA_HOME", folder.path().toUtf8());
        return folder;
    }();
    Form1 form;

    QListWidget *lQ() { return form.lQ(); }
    QListWidget *lA() { return form.lA(); }

    // `point` of `widget`, in the X screen's pixels.
    static QStringList screenPoint(QWidget *widget, QPoint point)
    {
        const QPoint global = widget->mapToGlobal(point) * widget->devicePixelRatioF();
        return {QString::number(global.x()), QString::number(global.y())};
    }
    static void xdotool(const QStringList &arguments)
    {
        QProcess tool;
        tool.start(QStringLiteral("xdotool"), arguments);
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitCode(), 0);
        QTest::qWait(300);
    }
    static void click(QWidget *widget, QPoint point, int button = 1)
    {
        xdotool(QStringList{QStringLiteral("mousemove")} + screenPoint(widget, point)
                + QStringList{QStringLiteral("click"), QString::number(button)});
    }
    static int topRow(QListWidget *list) { return list->indexAt(QPoint(2, 2)).row(); }

    // Each row of the questions stands level with the same row of the answers.
    void verifyInStep(const char *after)
    {
        QVERIFY2(topRow(lQ()) >= 0, after);
        QCOMPARE(topRow(lA()), topRow(lQ()));
        for (int row = 0; row < lQ()->count(); ++row) {
            const int questionTop = lQ()->viewport()->mapTo(&form, lQ()->visualItemRect(lQ()->item(row)).topLeft()).y();
            const int answerTop = lA()->viewport()->mapTo(&form, lA()->visualItemRect(lA()->item(row)).topLeft()).y();
            QVERIFY2(questionTop == answerTop, after);
        }
    }

    static QByteArray readFileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        PlayerSettings::nameApplication();
        QStringList lines;
        for (int pair = 1; pair <= 20; ++pair)
            lines << QStringLiteral("第%1个国家的首都是哪座城市，它在哪条大河的岸边？-sdsd").arg(pair)
                  << QStringLiteral("第%1个答案，长得列表放不下").arg(pair);
        writeBankFile(BankFile::DataPath(dir.path()), lines);
        QString error;
        QVERIFY2(StartUp::run(form, BankFile::DataPath(dir.path()), error), qPrintable(error));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

    void theFontIsTheOneAskedFor()
    {
        const QString expected = qEnvironmentVariable("VELLMAR_EXPECTED_FONT");
        if (expected.isEmpty())
            QSKIP("no font chosen for this run");
        QCOMPARE(QFontInfo(form.font()).family(), expected);
    }

    void everyLabelShowsItsWholeText()
    {
        for (const ControlLayout::ControlSpec &row : ControlLayout::controls()) {
            if (row.kind != ControlLayout::Kind::Label)
                continue;
            const auto *label = form.findChild<QLabel *>(row.name.toString());
            const QFontMetricsF metrics(label->font(), label);
            const QRectF ink = metrics.boundingRect(label->text()).translated(0, metrics.ascent());
            const QString what = QStringLiteral("%1 “%2” at %3 pt: %4 × %5 px in %6 × %7")
                                     .arg(row.name, label->text()).arg(label->font().pointSizeF())
                                     .arg(metrics.horizontalAdvance(label->text())).arg(ink.bottom())
                                     .arg(label->width()).arg(label->height());
            const int seen = qMin(label->width(), form.width() - label->mapTo(&form, QPoint(0, 0)).x());
            QVERIFY2(metrics.horizontalAdvance(label->text()) <= seen, qPrintable(what));
            QVERIFY2(ink.top() >= 0 && ink.bottom() <= label->height(), qPrintable(what));
            QCOMPARE(label->geometry().size(), row.rect.size());
        }
        const QLineEdit *box = form.tQ();
        QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) < box->width());
    }

    // The first key after start replaces the prompt.
    void firstKeyReplacesThePrompt()
    {
        QVERIFY(form.tQ()->hasFocus());
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), QStringLiteral("sdsd")});
        QCOMPARE(form.tQ()->text(), QStringLiteral("sdsd"));
        QCOMPARE(lQ()->count(), 20);
    }

    void wheelScrollBarKeysAndClicksKeepTheRowsInStep()
    {
        QVERIFY(lQ()->verticalScrollBar()->isVisible());
        click(lQ(), lQ()->rect().center(), 5); // wheel down over the questions
        QVERIFY(topRow(lQ()) > 0);
        verifyInStep("the wheel over the questions");
        click(lA(), lA()->rect().center(), 5);
        verifyInStep("the wheel over the answers");
        click(lA(), lA()->rect().center(), 4);
        verifyInStep("the wheel up over the answers");

        for (QListWidget *list : {lQ(), lA()}) {
            QScrollBar *bar = list->verticalScrollBar();
            const int before = bar->value();
            click(bar, QPoint(bar->width() / 2, bar->height() - bar->width() - 4)); // the groove above the arrow
            QVERIFY(bar->value() > before || bar->value() == bar->maximum());
            verifyInStep("a click on a scroll bar");
            click(bar, QPoint(bar->width() / 2, bar->width() + 4));
            verifyInStep("a click on a scroll bar, upwards");
        }

        const int picked = topRow(lQ()) + 2;
        click(lQ()->viewport(), lQ()->visualItemRect(lQ()->item(picked)).center());
        QCOMPARE(lQ()->currentRow(), picked);
        QCOMPARE(lA()->currentRow(), picked);
        verifyInStep("a click on a question");

        xdotool({QStringLiteral("key"), QStringLiteral("End")});
        QCOMPARE(lA()->currentRow(), 19);
        verifyInStep("End in the questions");
        click(lA()->viewport(), lA()->visualItemRect(lA()->item(topRow(lA()))).center());
        xdotool({QStringLiteral("key"), QStringLiteral("Home")});
        QCOMPARE(lQ()->currentRow(), 0); // the selection is shared both ways
        QCOMPARE(lA()->currentRow(), 0);
        verifyInStep("Home in the answers");
    }

    void aCutRowShowsItsWholeTextAsATip()
    {
        QListWidgetItem *question = lQ()->item(0);
        const QPoint middle = lQ()->visualItemRect(question).center();
        QHelpEvent help(QEvent::ToolTip, middle, lQ()->viewport()->mapToGlobal(middle));
        QCoreApplication::sendEvent(lQ()->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), question->text());
    }

    void escEmptiesTheBoxAndANewSearchStartsAtTheTop()
    {
        click(form.tQ(), QPoint(5, 5));
        xdotool({QStringLiteral("type"), QStringLiteral("sdsd")});
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QCOMPARE(form.tQ()->text(), QString());
        QCOMPARE(lQ()->count(), 20);
        xdotool({QStringLiteral("type"), QStringLiteral("sdsd")});
        QCOMPARE(topRow(lQ()), 0);
        verifyInStep("a new search");
    }

    // A bank dropped on the window is installed as the player's own and used
    // at once; a bad one is refused with the reader's message and the bank in
    // use stays. The instructions tab names the bank.
    void aDroppedBankIsInstalled()
    {
        const auto bankLabel = [this] { return form.findChild<QLabel *>(QStringLiteral("labBank"))->toolTip(); };
        QVERIFY2(bankLabel().contains(QStringLiteral("（20道题，")), qPrintable(bankLabel()));
        const auto drop = [this](const QString &path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&form, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&form, &event);
        };
        const QString newer = dir.filePath(QStringLiteral("newer.dat"));
        writeBankFile(newer, {QStringLiteral("新题目-xtm"), QStringLiteral("新答案")});
        drop(newer);
        const QString own = player.filePath(QStringLiteral("vellmar-quiz/data.dat"));
        QVERIFY2(QFileInfo(own).isFile(), qPrintable(form.labtip()->text() + own));
        QCOMPARE(form.labtip()->text(), QStringLiteral("已换用新题库：1道题"));
        QCOMPARE(form.questionLines().pairCount(), 1);
        QVERIFY2(bankLabel().startsWith(QStringLiteral("题库：%1（1道题，").arg(own)), qPrintable(bankLabel()));

        const QString empty = dir.filePath(QStringLiteral("empty.dat"));
        QFile(empty).open(QIODevice::WriteOnly);
        drop(empty);
        QCOMPARE(form.questionLines().pairCount(), 1);
        auto *message = form.findChild<QMessageBox *>(QStringLiteral("installFailedMessage"));
        QVERIFY(message);
        QVERIFY2(message->text().contains(QStringLiteral("题库文件“%1”是空的").arg(empty)), qPrintable(message->text()));
        QVERIFY(!QFile::exists(own + QStringLiteral(".previous")));

        drop(dir.filePath(QStringLiteral("data.dat"))); // installing again keeps the one before
        QCOMPARE(form.questionLines().pairCount(), 20);
        QCOMPARE(readFileBytes(own + QStringLiteral(".previous")), readFileBytes(newer));
    }
};

QTEST_MAIN(TestPlayerWindow)
#include "tst_PlayerWindow.moc"
