#include "ui/ControlLayout.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QAccessible>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

using ControlLayout::ControlSpec;
using ControlLayout::Kind;

QString textOf(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *box = qobject_cast<QLineEdit *>(widget))
        return box->text();
    return {};
}

} // namespace

class TestForm1Layout : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    Form1 *form = nullptr;

    QWidget *control(QStringView name) { return form->findChild<QWidget *>(name.toString()); }
    int tabOf(QWidget *widget) { return form->SSTab1()->indexOf(widget->parentWidget()); }
    QRect clientRect(QWidget *widget) { return {widget->mapTo(form, QPoint(0, 0)), widget->size()}; }

private slots:
    void initTestCase()
    {
        form = new Form1;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanupTestCase() { delete form; }

    void window()
    {
        QCOMPARE(form->size(), QSize(481, 313));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->windowTitle(), QStringLiteral("Vellmar答题器 v1.2"));
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowIcon().availableSizes().contains(QSize(32, 32)));
        QCOMPARE(form->font().families().first(), QStringLiteral("微软雅黑"));
        QCOMPARE(form->font().pointSizeF(), 9.0);
        // Whichever family answers must be one that holds Chinese.
        QVERIFY(ControlLayout::fontFamilies().contains(QFontInfo(form->font()).family()));
    }

    void tabPanel()
    {
        QTabWidget *panel = form->SSTab1();
        QCOMPARE(clientRect(panel), QRect(0, 0, 481, 313));
        QCOMPARE(panel->count(), 3);
        const QStringList captions{QStringLiteral("说明"), QStringLiteral("答题器"), QStringLiteral("Harlune资料站")};
        for (int tab = 0; tab < 3; ++tab) {
            QCOMPARE(panel->tabText(tab), captions.at(tab));
            const QRect strip = panel->tabBar()->tabRect(tab);
            QVERIFY2(qAbs(strip.width() - 481 / 3) <= 1, qPrintable(QString::number(strip.width())));
            QCOMPARE(strip.height(), 20);
        }
        QCOMPARE(panel->currentIndex(), 1);
    }

    // Each row of the table is a widget on its tab, where the row places it,
    // with its font, and the hand cursor on the two shortcuts only.
    void controlsStandWhereTheTablePutsThem()
    {
        for (const ControlSpec &row : ControlLayout::controls()) {
            QWidget *widget = control(row.name);
            QVERIFY2(widget, qPrintable(row.name.toString()));
            QCOMPARE(tabOf(widget), row.tab);
            QCOMPARE(clientRect(widget), row.rect);
            QCOMPARE(widget->font().families().first(), QStringLiteral("微软雅黑"));
            const bool shortcut = row.name == u"Label5_5" || row.name == u"Label8";
            QCOMPARE(widget->cursor().shape() == Qt::BitmapCursor, shortcut);
        }
        QCOMPARE(control(u"Label8")->cursor().hotSpot(), QPoint(12, 4));
        // The credit is drawn in the colour of text areas' background.
        QCOMPARE(control(u"Label6_2")->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::Base));
    }

    // What a click or the eye meets at a control's middle is the control
    // itself, on every tab: no control covers another's middle.
    void noControlCoversAnother()
    {
        for (int tab = 0; tab < 3; ++tab) {
            form->SSTab1()->setCurrentIndex(tab);
            for (const ControlSpec &row : ControlLayout::controls()) {
                if (row.tab != tab || row.kind == Kind::Picture)
                    continue;
                QWidget *widget = control(row.name);
                QWidget *hit = form->childAt(clientRect(widget).center());
                QVERIFY2(hit == widget || widget->isAncestorOf(hit), qPrintable(row.name.toString()));
            }
        }
        form->SSTab1()->setCurrentIndex(1);
    }

    // A text wider than its place, or running past the window's edge, is cut
    // off. The layout's own places, in the fonts Linux has, would cut the
    // group's number (126 of 113 pixels) and the credit's last letters past
    // the edge; those labels take a smaller size instead, so nothing is cut
    // (tst_PlayerWindow checks each font on a real display).
    void textsFitTheirPlaces()
    {
        QStringList cut;
        for (const ControlSpec &row : ControlLayout::controls()) {
            QWidget *widget = control(row.name);
            const int width = QFontMetrics(widget->font()).horizontalAdvance(textOf(widget));
            if (width > row.rect.width() || row.rect.x() + width > ControlLayout::ClientSize.width())
                cut << row.name.toString();
        }
        QCOMPARE(cut, QStringList());
        QCOMPARE(control(u"Label7")->font().pointSizeF(), 10.5); // one that fits keeps the layout's size
    }

    // What a screen reader hears of each control.
    void accessibleNamesAndDescriptions()
    {
        const std::vector<std::pair<QStringView, QString>> names = {
            {u"tQ", QStringLiteral("查询框")}, {u"lQ", QStringLiteral("题目")}, {u"lA", QStringLiteral("答案")},
            {u"Label8", QStringLiteral("点击提交")}, {u"Label9_0", QStringLiteral("Tavlin群：40917263")}};
        for (const auto &[name, expected] : names)
            QCOMPARE(QAccessible::queryAccessibleInterface(control(name))->text(QAccessible::Name), expected);
        for (const ControlSpec &row : ControlLayout::controls()) {
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control(row.name));
            QVERIFY2(reader && !reader->text(QAccessible::Name).isEmpty(), qPrintable(row.name.toString()));
            QVERIFY2(!reader->text(QAccessible::Description).isEmpty(), qPrintable(row.name.toString()));
        }
    }

    void picturesLieBeneathAtTheirOwnSize()
    {
        for (const ControlSpec &row : ControlLayout::controls()) {
            if (row.kind != Kind::Picture)
                continue;
            auto *picture = qobject_cast<QLabel *>(control(row.name));
            QCOMPARE(picture->pixmap().size(), row.rect.size());
            // Lowest of its page: every other control is drawn over it.
            QCOMPARE(picture->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(), picture);
        }
    }

    // Pictures of the three tabs beside the test program, to look at.
    void picturesOfTheTabs()
    {
        for (int tab = 0; tab < 3; ++tab) {
            form->SSTab1()->setCurrentIndex(tab);
            const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/tab%1.png").arg(tab);
            QVERIFY2(form->grab().save(path), qPrintable(path));
        }
        form->SSTab1()->setCurrentIndex(1);
    }
};

QTEST_MAIN(TestForm1Layout)
#include "tst_Form1Layout.moc"
