// What the link harvest's kept rows cost in memory, per row, beside the plain
// list of whole lines they once were: a page loaded again and again brings
// the same 20,000 matching links each pass; others bring new links every
// pass, or the same links in a new order.

#include "ResidentMemory.h"

#include "browser/LinkMatching.h"
#include "browser/LinkRows.h"

#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr int LinksPerPass = 20'000;
constexpr int Passes = 50;
const QString Pattern = QStringLiteral("Sorting.asp?sortid=");

enum class Pages { SameEachPass, NewEachPass, ShuffledEachPass };

// The links of one pass, in the order the page holds them.
QList<PageLink> passLinks(Pages pages, int pass, QRandomGenerator &random)
{
    std::vector<int> ids(LinksPerPass);
    std::iota(ids.begin(), ids.end(), pages == Pages::NewEachPass ? pass * LinksPerPass : 0);
    if (pages == Pages::ShuffledEachPass)
        std::shuffle(ids.begin(), ids.end(), random);
    QList<PageLink> links;
    links.reserve(LinksPerPass);
    for (int id : ids) {
        links << PageLink{QStringLiteral("http://vellmar.harlune.example/Sorting.asp?sortid=%1").arg(id),
                          QStringLiteral("第%1类").arg(id)};
    }
    return links;
}

struct PlainRows
{
    void AddItem(const QString &row) { rows << row; }
    QStringList rows;
};

template <typename Rows>
void BM_HarvestRows(benchmark::State &state)
{
    const auto pages = Pages(state.range(0));
    for (auto _ : state) {
        QRandomGenerator random(5380);
        releaseFreedMemory();
        const std::int64_t before = residentBytes();
        Rows rows;
        for (int pass = 0; pass < Passes; ++pass) {
            // Made afresh each pass, as the harvest makes them.
            for (const QString &line : harvestLines(passLinks(pages, pass, random), Pattern))
                rows.AddItem(line);
        }
        releaseFreedMemory();
        const double perRow = double(residentBytes() - before) / (double(Passes) * LinksPerPass);
        state.counters["bytes/row"] = perRow;
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * Passes * LinksPerPass);
}

void pageKinds(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgName("pages")->Arg(int(Pages::SameEachPass))->Arg(int(Pages::NewEachPass))
        ->Arg(int(Pages::ShuffledEachPass))->Iterations(1)->Unit(benchmark::kMillisecond);
}

} // namespace

// pages: 0 the same links each pass, 1 new links each pass, 2 the same links shuffled.
BENCHMARK(BM_HarvestRows<LinkRows>)->Apply(pageKinds);
BENCHMARK(BM_HarvestRows<PlainRows>)->Apply(pageKinds);
