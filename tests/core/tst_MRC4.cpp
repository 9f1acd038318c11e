#include "cipher/MRC4.h"
#include "ReferenceRc4.h"

#include <QTest>

namespace {

QByteArray crypt(QByteArray bytes, const QString &key)
{
    MRC4::CryptBytes({reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size())}, key);
    return bytes;
}

} // namespace

class TestMRC4 : public QObject
{
    Q_OBJECT

private slots:
    void publishedVectors_data();
    void publishedVectors();
    void matchesReferenceRc4();
    void sameKeyTwiceRestoresBuffer();
    void emptyKeyContinuesKeystream();
    void emptyBufferStillSchedulesKey();
    void oneCharacterKeyFillsKeyBox();
    void keyCharactersPast256AreIgnored();
    void blankKeyRekeys();
    void rejectedKeysLeaveBufferUntouched_data();
    void rejectedKeysLeaveBufferUntouched();
};

void TestMRC4::publishedVectors_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("Key") << "Key" << QByteArray("Plaintext") << QByteArray::fromHex("BBF316E8D940AF0AD3");
    QTest::newRow("Wiki") << "Wiki" << QByteArray("pedia") << QByteArray::fromHex("1021BF0420");
    QTest::newRow("Secret") << "Secret" << QByteArray("Attack at dawn")
                            << QByteArray::fromHex("45A01F645FC35B383552544B9BF5");
}

void TestMRC4::publishedVectors()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QCOMPARE(crypt(plain, key), cipher);
    QCOMPARE(crypt(cipher, key), plain);
}

void TestMRC4::matchesReferenceRc4()
{
    QByteArray data(5000, '\0');
    for (int n = 0; n < data.size(); ++n)
        data[n] = char(n * 37 + 11);
    for (const char *key : {"5380", "a", "0123456789abcdef0123456789abcdef", " x "})
        QCOMPARE(crypt(data, QString::fromLatin1(key)), referenceRc4(key, data));
}

void TestMRC4::sameKeyTwiceRestoresBuffer()
{
    (void)crypt(QByteArray(77, 'z'), QStringLiteral("leave some state behind"));
    const QByteArray plain("一段题库文字 with ASCII\r\n");
    QCOMPARE(crypt(crypt(plain, QStringLiteral("5380")), QStringLiteral("5380")), plain);
}

void TestMRC4::emptyKeyContinuesKeystream()
{
    const QByteArray text("first part of the stream and the rest of it");
    const QByteArray whole = crypt(text, QStringLiteral("5380"));
    // Every split, so that calls end inside and at the end of the eight-byte words the keystream is XORed in.
    for (qsizetype split = 0; split <= text.size(); ++split) {
        const QByteArray first = crypt(text.first(split), QStringLiteral("5380"));
        QCOMPARE(first + crypt(text.sliced(split), QString()), whole);
    }
}

void TestMRC4::emptyBufferStillSchedulesKey()
{
    (void)crypt(QByteArray(300, 'q'), QStringLiteral("other"));
    QCOMPARE(crypt(QByteArray(), QStringLiteral("Key")), QByteArray());
    QCOMPARE(MRC4::State().i, 0);
    QCOMPARE(MRC4::State().j, 0);
    // The schedule ran: continuing with the empty key gives Key's first keystream bytes.
    QCOMPARE(crypt(QByteArray("Plaintext"), QString()), QByteArray::fromHex("BBF316E8D940AF0AD3"));
}

void TestMRC4::oneCharacterKeyFillsKeyBox()
{
    (void)crypt(QByteArray(), QStringLiteral("7"));
    for (std::uint8_t code : MRC4::State().KeyBox)
        QCOMPARE(code, std::uint8_t('7'));
}

void TestMRC4::keyCharactersPast256AreIgnored()
{
    const QString first256 = QString(256, QLatin1Char('k')).replace(100, 1, QLatin1Char('m'));
    const QByteArray data("same keystream");
    QCOMPARE(crypt(data, first256 + QLatin1Char('X')), crypt(data, first256));
}

void TestMRC4::blankKeyRekeys()
{
    QCOMPARE(crypt(QByteArray("abc"), QStringLiteral(" ")), referenceRc4(" ", "abc"));
}

void TestMRC4::rejectedKeysLeaveBufferUntouched_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("32768 characters") << QString(32768, QLatin1Char('a'));
    QTest::newRow("32513 characters") << QString(32513, QLatin1Char('a'));
    QTest::newRow("32767 characters") << QString(32767, QLatin1Char('a'));
    QTest::newRow("double-byte character") << QStringLiteral("53中80");
}

void TestMRC4::rejectedKeysLeaveBufferUntouched()
{
    QFETCH(QString, key);
    QByteArray buffer("must stay as it is");
    const QByteArray before = buffer;
    QVERIFY_THROWS_EXCEPTION(MRC4::KeyError,
                             MRC4::CryptBytes({reinterpret_cast<std::uint8_t *>(buffer.data()), size_t(buffer.size())}, key));
    QCOMPARE(buffer, before);
}

QTEST_APPLESS_MAIN(TestMRC4)
#include "tst_MRC4.moc"
