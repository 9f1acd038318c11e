#include "text/CodePage.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Characters of every kind the count tells apart: ASCII, Chinese, full-width
// forms, characters GBK lacks (Latin with accents, Hangul, symbols, emoji as
// surrogate pairs, U+FEFF and U+FFFE, which a UTF-32 conversion may take
// for byte-order marks), and lone surrogates of both halves.
const QStringList CharacterKinds = {
    "a", "Z", "7", " ", "-", "首", "都", "年", "Ａ", "？", "ñ", "é", "한", "•", "♥", "😀", "𝄞",
    QString(QChar(0xFEFF)), QString(QChar(0xFFFE)), QString(QChar(0xD800)), QString(QChar(0xDC00)),
};

} // namespace

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
        QTest::newRow("unencodable before chinese") << QStringLiteral("ñ首都") << 5;
        QTest::newRow("emoji before chinese") << QStringLiteral("😀首都") << 5;
        QTest::newRow("hangul before chinese") << QStringLiteral("한首都") << 5;
        QTest::newRow("bullet and heart before chinese") << QStringLiteral("•♥首都") << 6;
        QTest::newRow("byte-order mark before chinese") << QStringLiteral("\uFEFF首都") << 5;
    }

    void byteCount()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(CodePage::ansiByteCount(text), bytes);
        QCOMPARE(CodePage::toAnsi(text).size(), bytes);
    }

    // Whatever came before, each character counts what it counts alone.
    void byteCountIsTheSumOfItsCharacters()
    {
        QRandomGenerator random(936);
        for (int round = 0; round < 3000; ++round) {
            QString text;
            qsizetype expected = 0;
            for (int length = random.bounded(8); length > 0; --length) {
                const QString character = CharacterKinds.at(random.bounded(CharacterKinds.size()));
                // A high surrogate followed by a low one would make a pair, not two characters.
                if (text.endsWith(QChar(0xD800)) && character.at(0).isLowSurrogate())
                    continue;
                text += character;
                expected += CodePage::ansiByteCount(character);
            }
            QCOMPARE(CodePage::ansiByteCount(text), expected);
            QCOMPARE(CodePage::toAnsi(text).size(), expected);
        }
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
        // A character GBK holds is no error for coming after one it lacks.
        QCOMPARE(CodePage::toAnsi(QStringLiteral("ñ首")), QByteArray("?") + QByteArray::fromHex("CAD7"));
        QVERIFY(CodePage::findUnencodable(QStringLiteral("首ñ都"), &position));
        QCOMPARE(position, 1);
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
