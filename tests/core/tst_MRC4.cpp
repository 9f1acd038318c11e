#include "bank/BankCheckpoints.h"
#include "bank/BankFile.h"
#include "cipher/MRC4.h"
#include "cipher/Rc4Streams.h"
#include "ReferenceRc4.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

namespace {

QByteArray crypt(QByteArray bytes, const QString &key)
{
    MRC4::CryptBytes({reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size())}, key);
    return bytes;
}

std::span<std::uint8_t> spanOf(QByteArray &bytes, qsizetype from = 0, qsizetype length = -1)
{
    return {reinterpret_cast<std::uint8_t *>(bytes.data()) + from, size_t(length < 0 ? bytes.size() - from : length)};
}

QByteArray randomBytes(QRandomGenerator &random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// Deciphers `bytes` from the checkpoints, as many segments together as
// `together`, each in pieces of random lengths, and the part past the
// last checkpoint by the last stream going on.
QByteArray cryptFromCheckpoints(QByteArray bytes, const KeystreamCheckpoints &checkpoints, int together,
                                QRandomGenerator &random)
{
    const qint64 spacing = checkpoints.spacing();
    const qint64 covered = spacing * (checkpoints.count() - 1);
    std::vector<Rc4Streams::Stream> streams;
    streams.reserve(size_t(checkpoints.count()));
    for (qint64 first = 0; first < bytes.size(); first += together * spacing) {
        std::vector<Rc4Streams::Piece> pieces;
        for (qint64 at = first; at < qMin(bytes.size(), first + together * spacing); at += spacing) {
            const qint64 length = at >= covered ? bytes.size() - at : qMin(spacing, bytes.size() - at);
            streams.emplace_back(checkpoints.at(int(at / spacing)));
            pieces.push_back({&streams.back(), spanOf(bytes, at, length)});
            if (at >= covered)
                break;
        }
        while (std::any_of(pieces.begin(), pieces.end(), [](const auto &piece) { return !piece.bytes.empty(); })) {
            std::vector<Rc4Streams::Piece> step;
            for (Rc4Streams::Piece &piece : pieces) {
                const size_t length = qMin(piece.bytes.size(), size_t(random.bounded(3 * 1024)));
                step.push_back({piece.stream, piece.bytes.first(length)});
                piece.bytes = piece.bytes.subspan(length);
            }
            Rc4Streams::crypt(step);
        }
        if (first + together * spacing > covered)
            break;
    }
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
    void streamsFromCheckpointsMatchTheWholeStream_data();
    void streamsFromCheckpointsMatchTheWholeStream();
    void bankCheckpointsAreTheBankKeystream();
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

// Spacings that are multiples of 256 keep the streams' i in step; the others do not.
void TestMRC4::streamsFromCheckpointsMatchTheWholeStream_data()
{
    QTest::addColumn<qint64>("spacing");
    QTest::addColumn<int>("count");
    QTest::newRow("4 KiB") << qint64(4096) << 40;
    QTest::newRow("1000 bytes, out of step") << qint64(1000) << 150;
    QTest::newRow("few checkpoints, a long last stream") << qint64(512) << 3;
}

void TestMRC4::streamsFromCheckpointsMatchTheWholeStream()
{
    QFETCH(qint64, spacing);
    QFETCH(int, count);
    const std::vector<Rc4State> states = KeystreamCheckpoints::compute(BankFile::BankKey, spacing, count);
    const KeystreamCheckpoints checkpoints(spacing, states);
    QRandomGenerator random(count);
    for (int round = 0; round < 40; ++round) {
        const QByteArray plain = randomBytes(random, random.bounded(int(spacing * (count + 2))));
        const QByteArray expected = crypt(plain, BankFile::BankKey);
        for (int together = 1; together <= Rc4Streams::MaxStreams; ++together)
            QCOMPARE(cryptFromCheckpoints(plain, checkpoints, together, random), expected);
    }
}

// The table made at build time against MRC4 now: every checkpoint, and bytes
// across three checkpoints deciphered from them.
void TestMRC4::bankCheckpointsAreTheBankKeystream()
{
    const KeystreamCheckpoints &table = BankCheckpoints::table();
    QCOMPARE(table.count(), BankCheckpoints::Count);
    const std::vector<Rc4State> states = KeystreamCheckpoints::compute(BankFile::BankKey, table.spacing(), table.count());
    for (int n = 0; n < table.count(); ++n) {
        QVERIFY(table.at(n).box == states[size_t(n)].box);
        QCOMPARE(table.at(n).i, states[size_t(n)].i);
        QCOMPARE(table.at(n).j, states[size_t(n)].j);
    }
    QRandomGenerator random(5380);
    const QByteArray plain = randomBytes(random, 3 * table.spacing() + 777);
    const QByteArray expected = crypt(plain, BankFile::BankKey);
    QCOMPARE(cryptFromCheckpoints(plain, table, 3, random), expected);
}

QTEST_APPLESS_MAIN(TestMRC4)
#include "tst_MRC4.moc"
