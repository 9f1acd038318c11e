#include "ReferenceLoad.h"
#include "TestBanks.h"
#include "TestFiles.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "bank/CipheredPieces.h"
#include "text/AnsiDecoder.h"
#include "text/CodePage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// The fast load against the plain one: GBK decoding against Qt's converter,
// the line split against QString::split, the whole load against both.
namespace {

// Bytes of every kind the decoder tells apart: ASCII, CR and LF, lead bytes,
// trail bytes in both ranges, bytes that cannot follow a lead byte, 0x80 and 0xFF.
QByteArray randomBytes(QRandomGenerator &random, int maxLength)
{
    static const QByteArray kinds = QByteArray::fromHex("00 0D 0A 30 2D 41 61 7E 7F 80 81 A1 B0 D6 FE FF 40 50 A0");
    QByteArray bytes;
    const int length = random.bounded(maxLength + 1);
    for (int n = 0; n < length; ++n) {
        const bool anyByte = random.bounded(3) == 0;
        bytes.append(anyByte ? char(random.bounded(256)) : kinds.at(random.bounded(kinds.size())));
    }
    return bytes;
}

// GBK text as a bank holds it, with a few bytes damaged.
QByteArray damagedText(QRandomGenerator &random)
{
    static const QString pieces = QStringLiteral("中国首都北京abc-zgsd\r\n123？");
    QString text;
    const int length = random.bounded(400);
    for (int n = 0; n < length; ++n)
        text += pieces.at(random.bounded(pieces.size()));
    QByteArray bytes = CodePage::toAnsi(text);
    for (int damage = random.bounded(3); damage > 0 && !bytes.isEmpty(); --damage)
        bytes[random.bounded(bytes.size())] = char(random.bounded(256));
    return bytes;
}

// Splits `bytes` at random places, empty pieces and single bytes included.
QList<QByteArrayView> randomPieces(QRandomGenerator &random, const QByteArray &bytes)
{
    QList<QByteArrayView> pieces;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = qMin(bytes.size() - at, qsizetype(random.bounded(40)));
        pieces.append(QByteArrayView(bytes).sliced(at, length));
        at += length;
    }
    return pieces;
}

QString decodeInPieces(const QList<QByteArrayView> &pieces)
{
    CodePage::AnsiDecoder decoder;
    QString text;
    for (QByteArrayView piece : pieces)
        decoder.decode(piece, text);
    decoder.finish(text);
    return text;
}

void compareDecoding(QRandomGenerator &random, const QByteArray &bytes)
{
    const QString expected = referenceGbkText(bytes);
    QCOMPARE(CodePage::fromAnsi(bytes), expected);
    QCOMPARE(decodeInPieces(randomPieces(random, bytes)), expected);
}

} // namespace

class TestLoadCrossCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(CodePage::gbkAvailable()); }

    void decodingMatchesConverter()
    {
        QRandomGenerator random(936);
        for (int round = 0; round < 4000 && !QTest::currentTestFailed(); ++round) {
            const QByteArray bytes = round % 2 ? randomBytes(random, 200) : damagedText(random);
            compareDecoding(random, bytes);
            if (QTest::currentTestFailed())
                qWarning() << "bytes" << bytes.toHex(' ');
        }
    }

    void everyByteAndPair()
    {
        QRandomGenerator random(1);
        for (int first = 0; first < 256; ++first) {
            compareDecoding(random, QByteArray(1, char(first)));
            for (int second = 0; second < 256; ++second) {
                const char pair[] = {char(first), char(second), 'x'};
                compareDecoding(random, QByteArray(pair, 2));
                compareDecoding(random, QByteArray(pair, 3));
            }
        }
    }

    void splittingInPiecesMatchesSplit()
    {
        QRandomGenerator random(13);
        for (int round = 0; round < 2000; ++round) {
            const QString text = referenceGbkText(damagedText(random));
            QuestionLines::Builder builder(text.size() + 1);
            for (qsizetype at = 0; at < text.size();) {
                const qsizetype length = qMin(text.size() - at, qsizetype(random.bounded(30)));
                builder.text() += QStringView(text).sliced(at, length);
                builder.splitAppended();
                at += length;
            }
            QCOMPARE(linesOf(builder.finish()), text.split(QStringLiteral("\r\n")));
            QCOMPARE(linesOf(QuestionLines::fromText(text)), text.split(QStringLiteral("\r\n")));
        }
    }

    // Files larger than the pieces the load reads, some with a double-byte
    // character or a CR LF cut by a piece boundary, some ending in a lead byte;
    // the last larger than all the pieces the reading thread keeps in flight.
    void loadMatchesPlainLoad()
    {
        QTemporaryDir dir;
        QRandomGenerator random(5380);
        for (int round = 0; round < 12; ++round) {
            QByteArray plain;
            while (plain.size() < (round == 11 ? 1'500'000 : 70'000 + round * 9'000))
                plain += round % 3 == 2 ? randomBytes(random, 300) : damagedText(random);
            if (round % 4 == 1)
                plain.append(char(0xD6));
            const QString path = dir.filePath(QStringLiteral("bank%1.dat").arg(round));
            writeFile(path, enciphered(plain));

            QuestionLines lines;
            BankReader reader;
            QVERIFY(reader.readQuestionLines(path, lines));
            QCOMPARE(linesOf(lines), referenceBankLines(enciphered(plain)));
        }
    }

    // Stretches deciphered from checkpoints close together: many segments,
    // groups cut short at the stretch's end, a last stream running past the
    // last checkpoint, streams out of step, a stretch from a later checkpoint.
    void piecesAreThePlainBytesInOrder()
    {
        QTemporaryDir dir;
        QRandomGenerator random(8);
        const QString path = dir.filePath(QStringLiteral("bank.dat"));
        for (const qint64 spacing : {qint64(4096), qint64(1000)}) {
            const std::vector<Rc4State> states = KeystreamCheckpoints::compute(BankFile::BankKey, spacing, 20);
            const KeystreamCheckpoints checkpoints(spacing, states);
            for (int round = 0; round < 30; ++round) {
                const QByteArray plain = randomBytes(random, int(spacing) * (round % 3 == 0 ? 30 : 12));
                writeFile(path, enciphered(plain));
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                const qint64 from = qMin(round % 4 * spacing, plain.size() / spacing * spacing);
                CipheredPieces pieces(file, from, file.size(), checkpoints);
                QByteArray read;
                for (QByteArrayView piece = pieces.next(); !piece.isEmpty(); piece = pieces.next())
                    read += piece;
                QVERIFY(pieces.errorString().isEmpty());
                QCOMPARE(read, plain.sliced(from));
            }
        }
    }

    // The load in two stretches on two threads, with checkpoints every 256
    // bytes so that small files are split: the bytes around the seam are
    // every kind there is, a CR LF and double-byte characters cut by it
    // among them, or bytes where no decoder can begin afresh for longer
    // than the thread looks (this thread then loads it all), or a second
    // stretch running past the last checkpoint. The second thread begins
    // none, one, two or all of its groups, and this one takes back the rest.
    // The lines, and the text and line starts themselves, are those of one decoder.
    void loadInTwoStretchesMatchesOneDecoder()
    {
        const std::vector<Rc4State> states = KeystreamCheckpoints::compute(BankFile::BankKey, 256, 64);
        const KeystreamCheckpoints checkpoints(256, states);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bank.dat"));
        QRandomGenerator random(18);
        // 4 × 256 bytes: the second thread's stretch begins at byte 512.
        const QList<QByteArray> seams = {"\r|\n", "\xD6|\xD0", "\xD6\xD0|\xB9\xFA", "\x81|\x0A", "\xFF|\x80",
                                         "\r\n|\r\n", "\r|\r\n", "a|\xD6", "\xD6|\x7F\r\n"};
        for (int round = 0; round < 600; ++round) {
            QByteArray plain;
            // Now and then past the last checkpoint, 16 KiB in.
            while (plain.size() < (round % 10 == 9 ? 20'000 : 1024 + random.bounded(3000)))
                plain += round % 3 == 2 ? randomBytes(random, 300) : damagedText(random);
            if (round < seams.size() * 20) {
                const QByteArray seam = seams.at(round % seams.size());
                const qsizetype cut = seam.indexOf('|');
                plain = plain.first(1024);
                plain.replace(512 - cut, seam.size() - 1, QByteArray(seam).remove(cut, 1));
                if (round / seams.size() % 4 == 3)
                    plain.replace(512, 900, CodePage::toAnsi(QString(450, QChar(0x4E2D))));
            }
            writeFile(path, enciphered(plain));
            QuestionLines lines;
            BankReader reader(checkpoints);
            if (round % 4 < 3)
                reader.limitSecondThread(round % 4);
            QVERIFY(reader.readQuestionLines(path, lines));
            const QuestionLines expected = QuestionLines::fromPlainBank(plain);
            QCOMPARE(lines.text(), expected.text());
            QVERIFY(std::ranges::equal(lines.lineStarts(), expected.lineStarts()));
            QCOMPARE(linesOf(lines), referenceBankLines(enciphered(plain)));
        }
    }

    // Groups taken back from the second thread: a bank of 4 KiB with
    // checkpoints every 256 bytes has its second stretch begin at 2048 and
    // its groups at 2560 and 3072, where the thread stops after one or two;
    // a CR LF or a double-byte character cut there goes on in its decoder.
    void loadTakenBackFromTheSecondThread()
    {
        const std::vector<Rc4State> states = KeystreamCheckpoints::compute(BankFile::BankKey, 256, 64);
        const KeystreamCheckpoints checkpoints(256, states);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bank.dat"));
        QRandomGenerator random(46);
        const QList<QByteArray> seams = {"\r|\n", "\xD6|\xD0", "\xD6\xD0|\xB9\xFA", "\x81|\x0A", "\r\n|\r\n", "a|\xD6"};
        for (int round = 0; round < 120; ++round) {
            QByteArray plain;
            while (plain.size() < 4096)
                plain += round % 2 ? randomBytes(random, 300) : damagedText(random);
            plain.truncate(4096);
            const QByteArray seam = seams.at(round % seams.size());
            const qsizetype cut = seam.indexOf('|');
            for (const qsizetype at : {2560, 3072})
                plain.replace(at - cut, seam.size() - 1, QByteArray(seam).remove(cut, 1));
            writeFile(path, enciphered(plain));
            QuestionLines lines;
            BankReader reader(checkpoints);
            reader.limitSecondThread(1 + round % 3);
            QVERIFY(reader.readQuestionLines(path, lines));
            const QuestionLines expected = QuestionLines::fromPlainBank(plain);
            QCOMPARE(lines.text(), expected.text());
            QVERIFY(std::ranges::equal(lines.lineStarts(), expected.lineStarts()));
        }
    }

    // The checkpoints made at build time: a bank of 2.5 MB is split at the
    // first, 1 MiB in, with a double-byte character cut there.
    void loadAcrossTheFirstCheckpoint()
    {
        QTemporaryDir dir;
        QRandomGenerator random(1);
        QByteArray plain;
        while (plain.size() < 2'500'000)
            plain += damagedText(random);
        plain.replace((1 << 20) - 1, 2, CodePage::toAnsi(QStringLiteral("国")));
        const QString path = dir.filePath(QStringLiteral("bank.dat"));
        writeFile(path, enciphered(plain));
        QuestionLines lines;
        BankReader reader;
        QVERIFY(reader.readQuestionLines(path, lines));
        const QuestionLines expected = QuestionLines::fromPlainBank(plain);
        QCOMPARE(lines.text(), expected.text());
        QVERIFY(std::ranges::equal(lines.lineStarts(), expected.lineStarts()));
    }
};

QTEST_APPLESS_MAIN(TestLoadCrossCheck)
#include "tst_LoadCrossCheck.moc"
