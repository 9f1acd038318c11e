#include "TestBanks.h"

#include "bank/BankFile.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString StartTip = QStringLiteral("请输入2个汉字或4个字母以上");
const QString NotFound = QStringLiteral("未查询到先关问题");

// 25 pairs that all hold "城市问题", three about rivers, and one in capitals.
QStringList sampleLines()
{
    QStringList lines;
    for (int pair = 1; pair <= 25; ++pair)
        lines << QStringLiteral("城市问题%1-cswt%1").arg(pair) << QStringLiteral("答案%1").arg(pair);
    for (const char *river : {"长江", "黄河", "珠江"})
        lines << QStringLiteral("河流：%1-hl").arg(QString::fromUtf8(river)) << QStringLiteral("是");
    lines << QStringLiteral("ABCD in capitals-abcd") << QStringLiteral("caps");
    return lines;
}

// Letters come as keys; Chinese characters as an input method commits them.
void typeInto(QWidget *box, const QString &text)
{
    for (QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(box, character.toLatin1());
            continue;
        }
        QInputMethodEvent commit;
        commit.setCommitString(character);
        QCoreApplication::sendEvent(box, &commit);
    }
}

QStringList rowsOf(QListWidget *list)
{
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->text();
    return rows;
}

} // namespace

class TestForm1Search : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    QTemporaryDir dir;
    std::unique_ptr<Form1> form;

    QLineEdit *tQ() { return form->tQ(); }
    QListWidget *lQ() { return form->lQ(); }
    QListWidget *lA() { return form->lA(); }
    QString tip() { return form->labtip()->text(); }
    void clickBox() { QTest::mouseClick(tQ(), Qt::LeftButton); }
    void type(const QString &text) { typeInto(tQ(), text); }
    void clickRow(QListWidget *list, int row)
    {
        QListWidgetItem *item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    void searchCities()
    {
        clickBox();
        type(QStringLiteral("城市问题"));
        QCOMPARE(lQ()->count(), 20);
    }

private slots:
    void initTestCase() { writeBankFile(BankFile::DataPath(dir.path()), sampleLines()); }

    // Every case meets the window as start-up leaves it.
    void init()
    {
        form = std::make_unique<Form1>();
        QString error;
        QVERIFY2(StartUp::run(*form, BankFile::DataPath(dir.path()), error), qPrintable(error));
    }
    void cleanup() { form.reset(); }

    void firstClickRemovesThePromptOnly()
    {
        QCOMPARE(tQ()->text(), QStringLiteral("请输入您要搜索的内容"));
        QCOMPARE(tip(), StartTip);
        clickBox();
        QCOMPARE(tQ()->text(), QString());
        QCOMPARE(tip(), StartTip);
        QCOMPARE(lQ()->count(), 0);
        QCOMPARE(lA()->count(), 0);
    }

    void threeBytesOrFewerChangeNothing()
    {
        clickBox();
        type(QStringLiteral("abc"));
        QCOMPARE(tip(), StartTip);
        QCOMPARE(lQ()->count(), 0);
        type(QStringLiteral("d")); // four bytes: searched, lower-cased lines only
        QCOMPARE(rowsOf(lQ()), QStringList{QStringLiteral("ABCD in capitals")});
        QCOMPARE(tip(), QStringLiteral("查找到1条"));

        clickBox();
        type(QStringLiteral("河")); // two bytes
        QCOMPARE(tip(), QStringLiteral("查找到1条"));
        type(QStringLiteral("流")); // four bytes
        QCOMPARE(rowsOf(lQ()), (QStringList{QStringLiteral("河流：长江"), QStringLiteral("河流：黄河"), QStringLiteral("河流：珠江")}));
        QCOMPARE(rowsOf(lA()), (QStringList{QStringLiteral("是"), QStringLiteral("是"), QStringLiteral("是")}));
        QCOMPARE(tip(), QStringLiteral("查找到3条"));

        clickBox();
        type(QStringLiteral("ABCD")); // typed in capitals, searched as abcd
        QCOMPARE(rowsOf(lA()), QStringList{QStringLiteral("caps")});
    }

    void atMostTwentyRowsInBankOrder()
    {
        searchCities();
        QCOMPARE(lA()->count(), 20);
        QCOMPARE(tip(), QStringLiteral("查找到20条"));
        for (int row = 0; row < 20; ++row) {
            QCOMPARE(lQ()->item(row)->text(), QStringLiteral("城市问题%1").arg(row + 1));
            QCOMPARE(lA()->item(row)->text(), QStringLiteral("答案%1").arg(row + 1));
        }
    }

    void noMatchEmptiesTheLists()
    {
        searchCities();
        clickBox();
        type(QStringLiteral("zzzz"));
        QCOMPARE(lQ()->count(), 0);
        QCOMPARE(lA()->count(), 0);
        QCOMPARE(tip(), NotFound);
    }

    void shorteningAndClickingKeepTheLastResult()
    {
        searchCities();
        QTest::keyClick(tQ(), Qt::Key_Backspace);
        QTest::keyClick(tQ(), Qt::Key_Backspace); // "城市", four bytes, still searched
        lQ()->setCurrentRow(3);
        QTest::keyClick(tQ(), Qt::Key_Backspace);
        QCOMPARE(tQ()->text(), QStringLiteral("城"));
        clickBox();
        QCOMPARE(tQ()->text(), QString());
        QCOMPARE(lQ()->count(), 20);
        QCOMPARE(lQ()->currentRow(), 3);
        QCOMPARE(lA()->currentRow(), 3);
        QCOMPARE(tip(), QStringLiteral("查找到20条"));

        type(QStringLiteral("城市问题"));
        clickBox(); // a click empties a box that holds a query, too
        QCOMPARE(tQ()->text(), QString());
        QCOMPARE(lQ()->count(), 20);
    }

    void assignmentAndPasteSearchToo()
    {
        tQ()->setText(QStringLiteral("河流"));
        QCOMPARE(tip(), QStringLiteral("查找到3条"));
        clickBox();
        QGuiApplication::clipboard()->setText(QStringLiteral("城市问题"));
        QTest::keyClick(tQ(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(tQ()->text(), QStringLiteral("城市问题"));
        QCOMPARE(tip(), QStringLiteral("查找到20条"));
    }

    void answerFollowsTheQuestion()
    {
        searchCities();
        clickRow(lQ(), 4);
        QCOMPARE(lA()->currentRow(), 4);
        QVERIFY(lA()->item(4)->isSelected());

        QTest::keyClick(lQ(), Qt::Key_Down);
        QCOMPARE(lA()->currentRow(), 5);
        QCOMPARE(lA()->selectedItems().size(), 1);

        QTest::keyClick(lQ(), Qt::Key_End); // out of sight in the answers until they scroll
        QCOMPARE(lA()->currentRow(), 19);
        QVERIFY(lA()->viewport()->rect().contains(lA()->visualItemRect(lA()->item(19))));

        clickRow(lA(), 2); // the selection is shared: picking an answer marks its question
        QCOMPARE(lA()->currentRow(), 2);
        QCOMPARE(lQ()->currentRow(), 2);
        QCOMPARE(lQ()->selectedItems().size(), 1);

    }

    void everySearchLeavesNothingSelected()
    {
        searchCities();
        clickRow(lQ(), 1);
        searchCities(); // the same rows again
        QCOMPARE(lQ()->count(), 20);
        for (QListWidget *list : {lQ(), lA()}) {
            QVERIFY(list->selectedItems().isEmpty());
            QCOMPARE(list->currentRow(), -1);
        }
    }

    // The lines that held what was typed with one bank say nothing of the
    // next one, which is searched whole.
    void aNewBankForgetsWhatWasTyped()
    {
        clickBox();
        type(QStringLiteral("城市"));
        QTest::qWait(100); // time for the narrowing by "城市"
        QStringList lines;
        for (int pair = 1; pair <= 30; ++pair)
            lines << QStringLiteral("题%1").arg(pair) << QStringLiteral("答%1").arg(pair);
        lines << QStringLiteral("新的城市问题") << QStringLiteral("新答案");
        form->useBank({QStringLiteral("new.dat"), QuestionLines::fromText(lines.join(QStringLiteral("\r\n"))), {}},
                      QStringLiteral("换了"));
        type(QStringLiteral("问题"));
        QCOMPARE(rowsOf(lQ()), QStringList{QStringLiteral("新的城市问题")});
        QCOMPARE(rowsOf(lA()), QStringList{QStringLiteral("新答案")});
    }

    // Events that arrive while start-up lets pending events run meet no bank yet.
    void searchBeforeTheBankIsLoaded()
    {
        Form1 unloaded;
        typeInto(unloaded.tQ(), QStringLiteral("城市问题"));
        QCOMPARE(unloaded.labtip()->text(), NotFound);
        QCOMPARE(unloaded.lQ()->count(), 0);
    }
};

QTEST_MAIN(TestForm1Search)
#include "tst_Form1Search.moc"
