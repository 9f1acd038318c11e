#include "text/CodePage.h"

#include <QTest>

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(CodePage::gbkAvailable()); }

    void byteCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("ascii") << QStringLiteral("abcd") << 4;
        QTest::newRow("blanks count") << QStringLiteral("  ab") << 4;
        QTest::newRow("chinese") << QStringLiteral("首都") << 4;
        QTest::newRow("chinese and letter") << QStringLiteral("首a") << 3;
        QTest::newRow("full-width letter") << QStringLiteral("Ａ") << 2;
        QTest::newRow("emoji counts one") << QStringLiteral("😀") << 1;
        QTest::newRow("hangul counts one") << QStringLiteral("한") << 1;
        QTest::newRow("lone surrogate counts one") << QString(QChar(0xD800)) << 1;
        QTest::newRow("mixed") << QStringLiteral("2008年😀") << 7;
    }

    void byteCount()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(CodePage::ansiByteCount(text), bytes);
        if (!text.contains(QChar(0xD800)))
            QCOMPARE(CodePage::toAnsi(text).size(), bytes);
    }

    void roundTrip()
    {
        const QString text = QStringLiteral("中国的首都是哪座城市？-zgdsdsnzcs\r\n北京");
        const QByteArray bytes = CodePage::toAnsi(text);
        QCOMPARE(bytes.left(4), QByteArray::fromHex("D6D0B9FA"));
        QCOMPARE(CodePage::fromAnsi(bytes), text);
    }

    void unencodableBecomesQuestionMark()
    {
        QCOMPARE(CodePage::toAnsi(QStringLiteral("a😀b")), QByteArray("a?b"));
        qsizetype position = -1;
        QVERIFY(CodePage::findUnencodable(QStringLiteral("中文😀"), &position));
        QCOMPARE(position, 2);
        QVERIFY(!CodePage::findUnencodable(QStringLiteral("中文abc"), &position));
    }

    void validity()
    {
        QVERIFY(CodePage::isValidAnsi(QByteArray::fromHex("D6D0B9FA41")));
        QVERIFY(!CodePage::isValidAnsi(QByteArray::fromHex("8130")));
        // A lead byte with nothing after it is no character either.
        QVERIFY(!CodePage::isValidAnsi(QByteArray::fromHex("41D6")));
    }

    void decodingNeverFails()
    {
        // A lead byte without a valid trail byte, then a lone lead byte at the end.
        const QString text = CodePage::fromAnsi(QByteArray::fromHex("8130D6D041") + QByteArray("\x81", 1));
        QCOMPARE(text, QStringLiteral("\uFFFD0中A\uFFFD"));
    }
};

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_CodePage.moc"
