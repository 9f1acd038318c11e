#include "cipher/MRC4.h"

#include <QTest>

// Runs first and alone in its process: the cipher's state is as at start.
class TestMRC4FreshProcess : public QObject
{
    Q_OBJECT

private slots:
    void emptyKeyBeforeAnyKeyLeavesBufferUnchanged()
    {
        QVERIFY(!MRC4::State().TableBuilt);
        QByteArray buffer("untouched");
        MRC4::CryptBytes({reinterpret_cast<std::uint8_t *>(buffer.data()), size_t(buffer.size())}, QString());
        QCOMPARE(buffer, QByteArray("untouched"));
        QVERIFY(!MRC4::State().TableBuilt);
    }

    void firstKeyedCallBuildsTheAdditionTable()
    {
        MRC4::CryptBytes({}, QStringLiteral("5380"));
        QVERIFY(MRC4::State().TableBuilt);
        QCOMPARE(MRC4::State().AddTable[200][100], std::uint8_t(44));
        QCOMPARE(MRC4::State().AddTable[0][255], std::uint8_t(255));
    }
};

QTEST_APPLESS_MAIN(TestMRC4FreshProcess)
#include "tst_MRC4FreshProcess.moc"
