#include "text/GbkConverter.h"

#include <QTest>

using GbkConverter::Source;

Q_DECLARE_METATYPE(GbkConverter::Source)

// Where Qt names no GBK converter, the system's code page serves when it is
// GBK; anywhere else GBK is missing, which the programs report.
class TestGbkConverter : public QObject
{
    Q_OBJECT

private slots:
    void sourceFor_data()
    {
        QTest::addColumn<bool>("qtNamesGbk");
        QTest::addColumn<unsigned>("ansiCodePage");
        QTest::addColumn<Source>("source");
        QTest::newRow("Qt with ICU, Linux") << true << 0u << Source::Named;
        QTest::newRow("Qt with ICU, Chinese Windows") << true << 936u << Source::Named;
        QTest::newRow("Qt without ICU, Chinese Windows") << false << 936u << Source::SystemCodePage;
        QTest::newRow("Qt without ICU, Western Windows") << false << 1252u << Source::None;
        QTest::newRow("Qt without ICU, Windows in UTF-8") << false << 65001u << Source::None;
        QTest::newRow("Qt without ICU, Linux") << false << 0u << Source::None;
    }

    void sourceFor()
    {
        QFETCH(bool, qtNamesGbk);
        QFETCH(unsigned, ansiCodePage);
        QFETCH(Source, source);
        QCOMPARE(GbkConverter::sourceFor(qtNamesGbk, ansiCodePage), source);
    }

    // This machine's Qt names GBK; its converters are GBK's.
    void convertersOfThisMachine()
    {
        QCOMPARE(GbkConverter::source(), Source::Named);
        QStringEncoder encoder = GbkConverter::encoder();
        QCOMPARE(QByteArray(encoder.encode(QStringLiteral("中文"))), QByteArray("\xD6\xD0\xCE\xC4"));
        QStringDecoder decoder = GbkConverter::decoder();
        QCOMPARE(QString(decoder.decode(QByteArray("\xB1\xB1\xBE\xA9"))), QStringLiteral("北京"));
    }
};

QTEST_APPLESS_MAIN(TestGbkConverter)
#include "tst_GbkConverter.moc"
