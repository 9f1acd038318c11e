#include "ui/ClickableLabel.h"
#include "ui/QueryBox.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

// What the window's small widgets take for a click.
class TestClickableWidgets : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window;
    ClickableLabel *label = nullptr;
    QueryBox *box = nullptr;

    const QPoint inside{10, 8};

private slots:
    void init()
    {
        window = std::make_unique<QWidget>();
        label = new ClickableLabel(QStringLiteral("点击提交"), window.get());
        label->setGeometry(10, 10, 57, 25);
        box = new QueryBox(QStringLiteral("请输入您要搜索的内容"), window.get());
        box->setGeometry(10, 50, 238, 25);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void labelReportsEachLeftClick()
    {
        QSignalSpy clicks(label, &ClickableLabel::clicked);
        QTest::mousePress(label, Qt::LeftButton, {}, inside);
        QCOMPARE(clicks.count(), 0); // the press alone is no click yet
        QTest::mouseRelease(label, Qt::LeftButton, {}, inside);
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(label, Qt::LeftButton, {}, inside);
        QCOMPARE(clicks.count(), 2);
    }

    void labelIgnoresReleasesOffItAndOtherButtons()
    {
        QSignalSpy clicks(label, &ClickableLabel::clicked);
        QTest::mousePress(label, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() + 5, 8));
        QTest::mouseClick(label, Qt::MiddleButton, {}, inside);
        QCOMPARE(clicks.count(), 0);
    }

    // The box reports a click as the button goes down, not when it comes up.
    void boxReportsTheLeftPressAtOnce()
    {
        QSignalSpy clicks(box, &QueryBox::clicked);
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(200, 12));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(200, 12));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(box, Qt::MiddleButton, {}, QPoint(200, 12));
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(TestClickableWidgets)
#include "tst_ClickableWidgets.moc"
