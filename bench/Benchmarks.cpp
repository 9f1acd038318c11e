// The speed of the search and of the bank load, each beside the machine's own
// limit: a full search beside one read of every cache line of the text and
// beside the plain per-line search; the load beside the cipher alone.

#include "BankGenerator.h"
#include "BenchBanks.h"
#include "ResidentMemory.h"

#include "bank/BankFile.h"
#include "FailureText.h"
#include "bank/BankReader.h"
#include "cipher/MRC4.h"
#include "ReferenceSearch.h"
#include "search/SearchQuestions.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Four bytes that occur nowhere in the generated banks, whose pinyin initials
// never hold a "v"; its first two letters often stand together there, so the
// scan has places to check all through the bank.
const QString AbsentQuery = QStringLiteral("zgvd");

qint64 textBytes(const QuestionLines &lines)
{
    return lines.text().size() * qint64(sizeof(char16_t));
}

// Bytes of text up to the end of the question line of the last hit, the part
// of the bank a search stopping there has to read.
qint64 bytesUpToLastHit(const QuestionLines &lines, const QString &needle)
{
    int hits = 0;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        if (lines.at(i).contains(needle) && ++hits == MaxHits)
            return lines.lineEnd(i) * qint64(sizeof(char16_t));
    }
    return textBytes(lines);
}

bool runsEmpty(benchmark::State &state, const std::optional<SearchResult> &result)
{
    if (result && result->HitCount == 0)
        return true;
    state.SkipWithError("the absent query was found");
    return false;
}

void BM_SearchFullScan(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    if (!runsEmpty(state, SearchQuestions(lines, AbsentQuery)))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchQuestions(lines, AbsentQuery));
    state.SetBytesProcessed(state.iterations() * textBytes(lines));
}

void BM_SearchTypical(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    const QString query = BankGenerator::commonestPair();
    const auto first = SearchQuestions(lines, query);
    if (!first || first->HitCount != MaxHits) {
        state.SkipWithError("the common query does not reach the hit limit");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchQuestions(lines, query));
    state.SetBytesProcessed(state.iterations() * bytesUpToLastHit(lines, query));
}

void BM_BaselinePerLine(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    if (!runsEmpty(state, searchQuestionsReference(lines, AbsentQuery)))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(searchQuestionsReference(lines, AbsentQuery));
    state.SetBytesProcessed(state.iterations() * textBytes(lines));
}

void BM_MemoryTouch(benchmark::State &state)
{
    constexpr qsizetype CacheLine = 64;
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    const auto *bytes = reinterpret_cast<const unsigned char *>(lines.text().constData());
    const qsizetype size = textBytes(lines);
    for (auto _ : state) {
        unsigned sum = 0;
        for (qsizetype offset = 0; offset < size; offset += CacheLine)
            sum += bytes[offset];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * size);
}

// Resident memory that a loaded bank adds, beside the size of its text.
void countResidentMemory(benchmark::State &state, const QString &path)
{
    releaseFreedMemory();
    const std::int64_t before = residentBytes();
    QuestionLines lines;
    BankReader().readQuestionLines(path, lines);
    const std::int64_t resident = residentBytes() - before;
    const double utf16 = double(textBytes(lines));
    state.counters["resident"] = double(resident);
    state.counters["utf16"] = utf16;
    state.counters["resident/utf16"] = utf16 > 0 ? double(resident) / utf16 : 0;
}

void BM_BankLoad(benchmark::State &state)
{
    const BenchBank &bank = benchBank(int(state.range(0)));
    for (auto _ : state) {
        QuestionLines lines;
        BankReader reader;
        if (!reader.readQuestionLines(bank.path, lines)) {
            state.SkipWithError(failureText(reader.failure()).toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * bank.enciphered.size());
    countResidentMemory(state, bank.path);
}

void BM_CipherOnly(benchmark::State &state)
{
    QByteArray bytes = benchBank(int(state.range(0))).enciphered;
    const std::span<std::uint8_t> buffer(reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size()));
    for (auto _ : state) {
        MRC4::CryptBytes(buffer, BankFile::BankKey);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void bankSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_SearchFullScan)->Apply(bankSizes);
BENCHMARK(BM_SearchTypical)->Apply(bankSizes);
BENCHMARK(BM_BaselinePerLine)->Apply(bankSizes);
BENCHMARK(BM_MemoryTouch)->Apply(bankSizes);
BENCHMARK(BM_BankLoad)->Apply(bankSizes);
BENCHMARK(BM_CipherOnly)->Apply(bankSizes);

// Runs each benchmark for a second unless told otherwise, so that the largest
// bank, which takes a good part of a second to load, is loaded a few times.
int main(int argc, char **argv)
{
    std::vector<char *> arguments(argv, argv + argc);
    char defaultMinTime[] = "--benchmark_min_time=1";
    const bool minTimeGiven = std::any_of(arguments.begin(), arguments.end(), [](const char *argument) {
        return std::string_view(argument).starts_with("--benchmark_min_time");
    });
    if (!minTimeGiven)
        arguments.insert(arguments.begin() + 1, defaultMinTime);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
