// The tolerant search on the generated banks: building its index (time, and
// size beside the bank's UTF-16 text) and ranking texts as OCR reads them
// (each a question of the bank with characters misread, the median and the
// 90th percentile of single queries, in the thread's CPU time so that other
// work on a shared machine does not count).

#include "BenchBanks.h"

#include "search/BigramIndex.h"
#include "search/SearchResult.h"
#include "search/TolerantSearch.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <vector>

namespace {

// A question of the bank as OCR might read it: about one character in eight
// misread as another of the bank, with a "?" at the end.
QString misread(const QuestionLines &lines, qsizetype pair, std::mt19937 &random)
{
    QString text = questionText(lines.at(2 * pair)).toString();
    const QString other = questionText(lines.at(2 * ((pair + 7) % lines.pairCount()))).toString();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (random() % 8 == 0)
            text[i] = other[qsizetype(random() % quint32(other.size()))];
    return text + u'?';
}

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void BM_TolerantIndexBuild(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const BigramIndex index = BigramIndex::build(lines);
        bytes = index.byteSize();
        benchmark::DoNotOptimize(bytes);
    }
    const double utf16 = double(lines.text().size()) * 2;
    state.counters["index"] = double(bytes);
    state.counters["utf16"] = utf16;
    state.counters["index/utf16"] = double(bytes) / utf16;
}

void BM_TolerantQuery(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    const BigramIndex index = BigramIndex::build(lines);
    std::mt19937 random(19);
    std::vector<QString> texts;
    std::vector<qsizetype> pairs;
    for (int i = 0; i < 1000; ++i) {
        pairs.push_back(qsizetype(random() % quint32(lines.pairCount())));
        texts.push_back(misread(lines, pairs.back(), random));
    }
    std::vector<double> milliseconds;
    int first = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        const std::size_t at = next++ % texts.size();
        const double start = threadMilliseconds();
        const TolerantResult result = RankQuestions(lines, index, texts[at]);
        milliseconds.push_back(threadMilliseconds() - start);
        if (milliseconds.size() <= texts.size() && !result.isEmpty()
            && result.Questions.front() == questionText(lines.at(2 * pairs[at])))
            ++first;
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["p50_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["p90_ms"] = milliseconds[milliseconds.size() * 9 / 10];
    state.counters["right_first"] = double(first) / double(std::min(milliseconds.size(), texts.size()));
}

void bankSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_TolerantIndexBuild)->Apply(bankSizes);
BENCHMARK(BM_TolerantQuery)->Apply(bankSizes)->Unit(benchmark::kMicrosecond);
