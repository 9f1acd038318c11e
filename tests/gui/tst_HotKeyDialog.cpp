#include "ui/HotKeyDialog.h"

#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QPushButton *button(const HotKeyDialog &dialog, const QString &text)
{
    for (QPushButton *found : dialog.findChildren<QPushButton *>())
        if (found->accessibleName() == text)
            return found;
    return nullptr;
}

QString message(const HotKeyDialog &dialog)
{
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        if (label->accessibleName() == QStringLiteral("热键说明"))
            return label->text();
    return QString();
}

const QKeySequence Standard(Qt::CTRL | Qt::ALT | Qt::Key_D);

} // namespace

// The dialog where the hot key is chosen, driven by keys and clicks: one
// combination at a time, bare keys refused by name, the default brought
// back, a refusal of the key shown with the dialog left open.
class TestHotKeyDialog : public QObject
{
    Q_OBJECT

private slots:
    void keysPressedChooseOneCombination()
    {
        HotKeyDialog dialog(Standard, Standard, [](const QKeySequence &) { return QString(); });
        dialog.show();
        auto *field = dialog.findChild<QKeySequenceEdit *>();
        QVERIFY(field);
        QCOMPARE(field->accessibleName(), QStringLiteral("读屏热键"));

        QTest::keyClick(field, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(field, Qt::Key_F9, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dialog.chosenKey(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F9));
        QVERIFY(button(dialog, QStringLiteral("确定"))->isEnabled());

        QTest::keyClick(field, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY2(message(dialog).contains(QStringLiteral("无法使用")), qPrintable(message(dialog)));
        QVERIFY(!button(dialog, QStringLiteral("确定"))->isEnabled());
        QTest::keyClick(field, Qt::Key_A);
        QVERIFY2(message(dialog).startsWith(QStringLiteral("热键 A 无法使用")), qPrintable(message(dialog)));

        QTest::mouseClick(button(dialog, QStringLiteral("恢复默认")), Qt::LeftButton);
        QCOMPARE(dialog.chosenKey(), Standard);
        QVERIFY(button(dialog, QStringLiteral("确定"))->isEnabled());
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void aRefusedKeyKeepsTheDialogOpenWithTheReason()
    {
        QList<QKeySequence> tried;
        const QString refusal = QStringLiteral("热键 Ctrl+Alt+G 已被其他程序占用；仍使用 Ctrl+Alt+D");
        HotKeyDialog dialog(Standard, Standard, [&](const QKeySequence &key) {
            tried.append(key);
            return key == QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G) ? refusal : QString();
        });
        dialog.show();
        auto *field = dialog.findChild<QKeySequenceEdit *>();
        QTest::keyClick(field, Qt::Key_G, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(message(dialog), refusal);
        QVERIFY(dialog.isVisible());

        QTest::keyClick(field, Qt::Key_H, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(tried, (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_H)}));
    }
};

QTEST_MAIN(TestHotKeyDialog)
#include "tst_HotKeyDialog.moc"
