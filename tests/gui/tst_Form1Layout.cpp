#include "ui/ControlLayout.h"
#include "ui/Form1.h"

#include <QAccessible>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

// The window's controls as the layout gives them, written out independently
// of the window's own table: place in client pixels, tab, text, colour, font.
struct Expected
{
    const char *name;
    int tab;
    QRect rect;
    QString text;
    QRgb colour; // 0: the system's colour
    qreal pointSize;
    bool underline;
};

const QString Ad1 = QStringLiteral("开通会员尊享特权");
const QString Ad2 = QStringLiteral("专属头像装扮");
const QString Price = QStringLiteral("6元/月，");
const QString Group = QStringLiteral("Tavlin群：40917263");
const QString Credit = QStringLiteral("制作：Orvendel");

const std::vector<Expected> Inventory = {
    {"Label5_5", 0, {360, 240, 97, 25}, QStringLiteral("下载最新版本"), 0xB4EE02, 10.5, true},
    {"Label2_0", 0, {0, 288, 129, 25}, Ad1, 0xFFFFFF, 10.5, false},
    {"Label3_0", 0, {128, 288, 73, 25}, Price, 0xFFFFFF, 10.5, false},
    {"Label4_0", 0, {184, 288, 113, 25}, Ad2, 0xFFFFFF, 10.5, false},
    {"Label9_1", 0, {280, 288, 113, 17}, Group, 0xFF8000, 10.5, false},
    {"Label6_1", 0, {400, 288, 97, 25}, Credit, 0, 9, false},
    {"tQ", 1, {8, 32, 238, 25}, QStringLiteral("请输入您要搜索的内容"), 0, 9, false},
    {"labtip", 1, {8, 58, 276, 24}, QStringLiteral("Label1"), 0x00FFFF, 9, false},
    {"lQ", 1, {8, 80, 315, 164}, {}, 0, 10.5, false},
    {"lA", 1, {320, 80, 151, 164}, {}, 0xFF0000, 10.5, false},
    {"Label7", 1, {280, 256, 129, 17}, QStringLiteral("错题、复题、漏题："), 0xFFFF00, 10.5, false},
    {"Label8", 1, {408, 256, 57, 25}, QStringLiteral("点击提交"), 0x00FF00, 10.5, false},
    {"Label2_2", 1, {0, 288, 129, 25}, Ad1, 0xFFFFFF, 10.5, false},
    {"Label3_2", 1, {128, 288, 73, 25}, Price, 0xFFFFFF, 10.5, false},
    {"Label4_2", 1, {184, 288, 113, 25}, Ad2, 0xFFFFFF, 10.5, false},
    {"Label9_0", 1, {280, 288, 113, 17}, Group, 0xFF8000, 10.5, false},
    {"Label6_2", 1, {400, 288, 97, 25}, Credit, 0, 9, false},
    {"WebBrowser1", 2, {8, 32, 465, 273}, {}, 0, 9, false},
};
const std::vector<std::pair<const char *, int>> Pictures = {{"Image2", 0}, {"Image1", 1}, {"Image3", 2}};

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

private:
    Form1 *form = nullptr;

    QWidget *control(const char *name) { return form->findChild<QWidget *>(QLatin1String(name)); }
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

    void controlsStandAtTheirPlaces()
    {
        for (const Expected &expected : Inventory) {
            QWidget *widget = control(expected.name);
            QVERIFY2(widget, expected.name);
            QCOMPARE(tabOf(widget), expected.tab);
            QCOMPARE(clientRect(widget), expected.rect);
            QCOMPARE(textOf(widget), expected.text);
            // A label whose text the font at hand would cut is set smaller (tst_PlayerWindow).
            if (qobject_cast<QLabel *>(widget))
                QVERIFY(widget->font().pointSizeF() <= expected.pointSize && widget->font().pointSizeF() >= 6);
            else
                QCOMPARE(widget->font().pointSizeF(), expected.pointSize);
            QCOMPARE(widget->font().underline(), expected.underline);
            QCOMPARE(widget->font().families().first(), QStringLiteral("微软雅黑"));
            if (expected.colour != 0) {
                QCOMPARE(widget->palette().color(widget->foregroundRole()).rgb(), qRgb(0, 0, 0) | expected.colour);
                QCOMPARE(widget->palette().color(QPalette::Text).rgb(), qRgb(0, 0, 0) | expected.colour);
            }
        }
        // The credit is drawn in the colour of text areas' background.
        QCOMPARE(control("Label6_2")->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::Base));
    }

    void picturesLieBeneathAtTheirOwnSize()
    {
        for (const auto &[name, tab] : Pictures) {
            auto *picture = qobject_cast<QLabel *>(control(name));
            QVERIFY2(picture, name);
            QCOMPARE(tabOf(picture), tab);
            QCOMPARE(picture->pixmap().size(), QSize(483, 289));
            QCOMPARE(clientRect(picture), QRect(0, 24, 483, 289));
            // Lowest of its page: every other control is drawn over it.
            QCOMPARE(picture->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(), picture);
        }
        // What a click or the eye meets at a control's middle is the control itself.
        form->SSTab1()->setCurrentIndex(1);
        for (const char *name : {"tQ", "labtip", "Label7", "Label8", "Label3_2"}) {
            QWidget *widget = control(name);
            QWidget *hit = form->childAt(clientRect(widget).center());
            QVERIFY2(hit == widget || widget->isAncestorOf(hit), name);
        }
    }

    void handCursorOnTheShortcutsOnly()
    {
        for (const Expected &expected : Inventory) {
            QWidget *widget = control(expected.name);
            const bool shortcut = qstrcmp(expected.name, "Label5_5") == 0 || qstrcmp(expected.name, "Label8") == 0;
            QCOMPARE(widget->cursor().shape() == Qt::BitmapCursor, shortcut);
            if (shortcut) {
                QCOMPARE(widget->cursor().hotSpot(), QPoint(12, 4));
                QCOMPARE(widget->cursor().pixmap().size(), QSize(32, 32));
            }
        }
    }

    // What a screen reader hears of each control.
    void accessibleNamesAndDescriptions()
    {
        const std::vector<std::pair<const char *, QString>> names = {
            {"tQ", QStringLiteral("查询框")}, {"lQ", QStringLiteral("题目")}, {"lA", QStringLiteral("答案")},
            {"Label8", QStringLiteral("点击提交")}, {"Label9_0", Group}};
        for (const auto &[name, expected] : names)
            QCOMPARE(QAccessible::queryAccessibleInterface(control(name))->text(QAccessible::Name), expected);
        for (const ControlLayout::ControlSpec &row : ControlLayout::controls()) {
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control(qPrintable(row.name.toString())));
            QVERIFY2(reader && !reader->text(QAccessible::Name).isEmpty(), qPrintable(row.name.toString()));
            QVERIFY2(!reader->text(QAccessible::Description).isEmpty(), qPrintable(row.name.toString()));
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
