#include "ui/QtTranslations.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

// Qt's own texts in the window are Chinese whatever the system's language.
class TestQtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void chineseForEverySystem_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("Simplified") << "zh_CN" << "zh_CN";
        QTest::newRow("Singapore") << "zh_SG" << "zh_CN";
        QTest::newRow("Taiwan") << "zh_TW" << "zh_TW";
        QTest::newRow("Hong Kong") << "zh_HK" << "zh_TW";
        QTest::newRow("English") << "en_US" << "zh_CN";
        QTest::newRow("German") << "de_DE" << "zh_CN";
        QTest::newRow("C") << "C" << "zh_CN";
    }

    void chineseForEverySystem()
    {
        QFETCH(QString, system);
        QFETCH(QString, chinese);
        QCOMPARE(QtTranslations::chineseFor(QLocale(system)).name(), chinese);
    }

    // The query box's right-click menu and a message's button on an English system.
    void qtTextsAreChinese()
    {
        QVERIFY2(QtTranslations::install(*qApp, QLocale(QLocale::English, QLocale::UnitedStates)),
                 "Qt's translations are missing (Debian: qt6-translations-l10n)");
        QLineEdit box;
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts << action->text().section(u'\t', 0, 0);
        QVERIFY2(texts.contains(QStringLiteral("粘贴(&P)")) && texts.contains(QStringLiteral("全选")),
                 qPrintable(texts.join(u' ')));

        QMessageBox message(QMessageBox::Critical, QStringLiteral("t"), QStringLiteral("m"), QMessageBox::Ok);
        QCOMPARE(message.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    }
};

QTEST_MAIN(TestQtTranslations)
#include "tst_QtTranslations.moc"
