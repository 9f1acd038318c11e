#include "HarvestLineText.h"

#include "browser/LinkMatching.h"
#include "browser/LinkRows.h"
#include "browser/PassQueue.h"
#include "browser/LinkScript.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(PageLink)

namespace {

const QString Pattern = QStringLiteral("Sorting.asp?sortid=");

PageLink pageLink(const QString &href, const QString &text)
{
    return PageLink{href, text};
}

QString sortLine(int id)
{
    return harvestLineText(QStringLiteral("http://h/Sorting.asp?sortid=%1").arg(id), QStringLiteral("第%1类").arg(id));
}

QStringList keptRows(const QStringList &added)
{
    LinkRows rows;
    for (const QString &row : added)
        rows.AddItem(row);
    if (rows.size() != added.size())
        qFatal("LinkRows counts %lld rows of %lld", rows.size(), qint64(added.size()));
    return rows.rows();
}

} // namespace

class TestLinkHarvest : public QObject
{
    Q_OBJECT

private slots:
    void lineFormat()
    {
        QCOMPARE(harvestLine(QStringLiteral("http://h/Sorting.asp?sortid=3"), QStringLiteral("第三类")),
                 QStringLiteral("链接地址是http://h/Sorting.asp?sortid=3 链接的文字是 <第三类>"));
    }

    void matching_data()
    {
        QTest::addColumn<PageLink>("link");
        QTest::addColumn<bool>("matches");
        QTest::newRow("exact") << pageLink("http://h/Sorting.asp?sortid=1", "x") << true;
        QTest::newRow("capitals") << pageLink("http://h/SORTING.ASP?SORTID=1", "x") << true;
        QTest::newRow("mixed case") << pageLink("http://h/sOrTiNg.AsP?SortId=", "x") << true;
        QTest::newRow("inside a query") << pageLink("http://h/go?to=/Sorting.asp?sortid=9&x", "x") << true;
        QTest::newRow("without equals") << pageLink("http://h/Sorting.asp?sortid", "x") << false;
        QTest::newRow("other separator") << pageLink("http://h/Sorting.asp&sortid=1", "x") << false;
        QTest::newRow("pattern only in text") << pageLink("http://h/", "Sorting.asp?sortid=1") << false;
        QTest::newRow("empty href") << pageLink("", "x") << false;
        QTest::newRow("null href") << PageLink{std::nullopt, QStringLiteral("Sorting.asp?sortid=")} << false;
        QTest::newRow("null text") << PageLink{QStringLiteral("http://h/Sorting.asp?sortid=1"), std::nullopt} << true;
    }

    void matching()
    {
        QFETCH(PageLink, link);
        QFETCH(bool, matches);
        QCOMPARE(linkMatches(link, Pattern), matches);
    }

    void linesKeepOrderAndDuplicates()
    {
        const QList<PageLink> links = {
            pageLink("http://h/Sorting.asp?sortid=2", "二"),
            pageLink("http://h/other.asp", "别的"),
            PageLink{std::nullopt, QStringLiteral("空")},
            pageLink("http://h/sorting.asp?SORTID=1", "一"),
            PageLink{QStringLiteral("http://h/Sorting.asp?sortid=5"), std::nullopt},
            pageLink("http://h/Sorting.asp?sortid=2", "二"),
        };
        QCOMPARE(harvestLines(links, Pattern),
                 QStringList({harvestLineText("http://h/Sorting.asp?sortid=2", "二"),
                              harvestLineText("http://h/sorting.asp?SORTID=1", "一"),
                              harvestLineText("http://h/Sorting.asp?sortid=5", ""),
                              harvestLineText("http://h/Sorting.asp?sortid=2", "二")}));
        QVERIFY(harvestLines(QList<PageLink>(), Pattern).isEmpty());
        QVERIFY(harvestLines({pageLink("http://h/a", "a")}, Pattern).isEmpty());
    }

    // The rows are kept compactly; whatever the order, they come back as added.
    void rowsComeBackAsAdded()
    {
        QStringList added;
        for (int pass = 0; pass < 3; ++pass) { // a page harvested again and again
            for (int id = 0; id < 50; ++id)
                added << sortLine(id);
        }
        for (int repeat = 0; repeat < 20; ++repeat) // one link many times
            added << sortLine(7);
        added << sortLine(3) << sortLine(1) << sortLine(4) << sortLine(1) << sortLine(5) << sortLine(5)
              << sortLine(6) << sortLine(50) << sortLine(51) << sortLine(51);
        // Text the harvest never makes, kept all the same, unpaired surrogate too.
        added << QString() << QString() << QStringLiteral("😀 <>") << QString(QChar(0xD800)) << sortLine(52);
        QCOMPARE(keptRows(added), added);
        QVERIFY(keptRows({}).isEmpty());
    }

    // Rows drawn at random from runs, repeats and jumps over a few hundred
    // distinct texts.
    void rowsInRandomOrdersComeBackAsAdded()
    {
        QRandomGenerator random(5380);
        QStringList added;
        while (added.size() < 20000) {
            const int first = int(random.bounded(400));
            const int length = int(random.bounded(1, 30));
            const bool repeats = random.bounded(3) == 0;
            for (int step = 0; step < length; ++step)
                added << sortLine(repeats ? first : first + step);
        }
        QCOMPARE(keptRows(added), added);
    }

    void scriptResults()
    {
        const QVariantList pairs = {
            QVariantList{QStringLiteral("http://h/1"), QStringLiteral("一")},
            QVariantList{QVariant(), QStringLiteral("t")},
            QVariantList{QStringLiteral("http://h/2"), QVariant::fromValue(nullptr)},
            QVariantList{QStringLiteral("http://h/3"), QString()},
        };
        QCOMPARE(linksFromScriptResult(pairs),
                 QList<PageLink>({PageLink{QStringLiteral("http://h/1"), QStringLiteral("一")},
                                  PageLink{std::nullopt, QStringLiteral("t")},
                                  PageLink{QStringLiteral("http://h/2"), std::nullopt},
                                  PageLink{QStringLiteral("http://h/3"), QString()}}));
        // No document, or a script that could not run, answers with no value.
        QVERIFY(linksFromScriptResult(QVariant()).isEmpty());
        QVERIFY(linksFromScriptResult(QVariantList()).isEmpty());
        QVERIFY(linksFromScriptResult(QStringLiteral("oops")).isEmpty());
    }

    void passesReachReceiversInStartOrder()
    {
        PassQueue passes;
        QStringList delivered;
        auto receiver = [&delivered](const QString &name) {
            return [&delivered, name](const QList<PageLink> &links) {
                delivered << name + QString::number(links.size());
            };
        };
        const auto first = passes.start(receiver("first"));
        const auto second = passes.start(receiver("second"));
        const auto third = passes.start(receiver("third"));

        passes.finish(first, {pageLink("a", "a")});
        QCOMPARE(delivered, QStringList({"first1"}));

        // The third answers before the second: the second is given up, and
        // its answer, should it still come, is ignored, as is a repeated one.
        passes.finish(third, QList<PageLink>());
        passes.finish(second, {pageLink("a", "a"), pageLink("b", "b")});
        passes.finish(third, {pageLink("a", "a")});
        QCOMPARE(delivered, QStringList({"first1", "third0"}));
        QCOMPARE(passes.waitingCount(), 0);
    }

    void receiverMayStartAnotherPass()
    {
        PassQueue passes;
        QList<PassQueue::PassId> started;
        int deliveries = 0;
        std::function<void(const QList<PageLink> &)> again = [&](const QList<PageLink> &) {
            if (++deliveries < 3)
                started << passes.start(again);
        };
        passes.finish(passes.start(again), QList<PageLink>());
        passes.finish(started.at(0), QList<PageLink>());
        passes.finish(started.at(1), QList<PageLink>());
        QCOMPARE(deliveries, 3);
        QCOMPARE(passes.waitingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkHarvest)
#include "tst_LinkHarvest.moc"
