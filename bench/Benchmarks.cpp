// The speed of the search and of the bank load, each beside the machine's own
// limit: each shape of query beside one read of every cache line of the text,
// on one thread and on two, and beside the plain per-line search; the load beside the GBK decode alone
// and the cost of the fresh pages it writes; the cipher beside OpenSSL's RC4.

#include "BankGenerator.h"
#include "BenchBanks.h"
#include "ResidentMemory.h"

#include "bank/BankFile.h"
#include "FailureText.h"
#include "bank/BankCheckpoints.h"
#include "bank/BankReader.h"
#include "bank/CipheredPieces.h"
#include "cipher/MRC4.h"
#include "cipher/Rc4Streams.h"
#include "platform/Platform.h"
#include "ReferenceSearch.h"
#include "search/ScanWorker.h"
#include "search/SearchQuestions.h"
#include "text/AnsiDecoder.h"

#include <benchmark/benchmark.h>

#if defined(VELLMAR_BENCH_OPENSSL)
// RC4 is deprecated in OpenSSL 3, yet still there; it is only the yardstick here.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/rc4.h>
#endif

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Four bytes that occur nowhere in the generated banks, whose pinyin initials
// never hold a "v"; its first two letters stand together there now and then.
const QString AbsentQuery = QStringLiteral("zgvd");
// Found nowhere either, but its first two letters stand together in one
// question of two: a scan for them would stop all through the bank.
const QString AbsentCommonPairQuery = QStringLiteral("ddvd");

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

void BM_SearchCommonFirstPair(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    if (!runsEmpty(state, SearchQuestions(lines, AbsentCommonPairQuery)))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchQuestions(lines, AbsentCommonPairQuery));
    state.SetBytesProcessed(state.iterations() * textBytes(lines));
}

// The same on the caller's thread alone: the scan as it was before it was split.
void BM_SearchCommonFirstPairOneThread(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    ScanSplit oneThread;
    oneThread.minSplitUnits = lines.text().size() + 1;
    if (!runsEmpty(state, SearchQuestions(lines, AbsentCommonPairQuery, oneThread)))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchQuestions(lines, AbsentCommonPairQuery, oneThread));
    state.SetBytesProcessed(state.iterations() * textBytes(lines));
}

void BM_SearchHitsAtTheEnd(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    const QString query = BankGenerator::lateQuery();
    const auto first = SearchQuestions(lines, query);
    if (!first || first->HitCount != MaxHits) {
        state.SkipWithError("the late query does not reach the hit limit");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchQuestions(lines, query));
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

// One byte of every cache line from `begin` to `end`, added up.
unsigned touchCacheLines(const unsigned char *begin, const unsigned char *end)
{
    constexpr qsizetype CacheLine = 64;
    unsigned sum = 0;
    for (const unsigned char *at = begin; at < end; at += CacheLine)
        sum += *at;
    return sum;
}

const unsigned char *textBegin(const QuestionLines &lines)
{
    return reinterpret_cast<const unsigned char *>(lines.text().constData());
}

void BM_MemoryTouch(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    const unsigned char *begin = textBegin(lines);
    for (auto _ : state)
        benchmark::DoNotOptimize(touchCacheLines(begin, begin + textBytes(lines)));
    state.SetBytesProcessed(state.iterations() * textBytes(lines));
}

// The same read shared by both threads of a split search, half each, through
// the search's own worker: what two cores can read.
void BM_MemoryTouchTwoThreads(benchmark::State &state)
{
    const QuestionLines &lines = benchBank(int(state.range(0))).lines;
    const unsigned char *begin = textBegin(lines);
    const unsigned char *middle = begin + textBytes(lines) / 2;
    const unsigned char *end = begin + textBytes(lines);
    for (auto _ : state) {
        unsigned first = 0;
        unsigned second = 0;
        ScanWorker::shared().runBeside([&] { second = touchCacheLines(middle, end); },
                                       [&] { first = touchCacheLines(begin, middle); });
        benchmark::DoNotOptimize(first + second);
    }
    state.SetBytesProcessed(state.iterations() * textBytes(lines));
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

std::span<std::uint8_t> bytesOf(QByteArray &bytes)
{
    return {reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size())};
}

void BM_CipherOnly(benchmark::State &state)
{
    QByteArray bytes = benchBank(int(state.range(0))).enciphered;
    for (auto _ : state) {
        MRC4::CryptBytes(bytesOf(bytes), BankFile::BankKey);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The bank's bytes deciphered from its checkpoints, state.range(1) segments
// at once in one loop, on one thread.
void BM_CipherStreams(benchmark::State &state)
{
    QByteArray bytes = benchBank(int(state.range(0))).enciphered;
    const KeystreamCheckpoints &checkpoints = BankCheckpoints::table();
    const qint64 spacing = checkpoints.spacing();
    const int together = int(state.range(1));
    for (auto _ : state) {
        for (qint64 first = 0; first < bytes.size(); first += together * spacing) {
            std::vector<Rc4Streams::Stream> streams;
            std::vector<Rc4Streams::Piece> pieces;
            streams.reserve(size_t(together));
            for (qint64 at = first; at < qMin(bytes.size(), first + together * spacing); at += spacing) {
                streams.emplace_back(checkpoints.at(int(at / spacing)));
                pieces.push_back({&streams.back(), bytesOf(bytes).subspan(size_t(at), size_t(qMin(spacing, bytes.size() - at)))});
            }
            Rc4Streams::crypt(pieces);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

#if defined(VELLMAR_BENCH_OPENSSL)
void BM_CipherOpenSsl(benchmark::State &state)
{
    QByteArray bytes = benchBank(int(state.range(0))).enciphered;
    const QByteArray key = BankFile::BankKey.toLatin1();
    for (auto _ : state) {
        RC4_KEY schedule;
        RC4_set_key(&schedule, int(key.size()), reinterpret_cast<const unsigned char *>(key.constData()));
        RC4(&schedule, size_t(bytes.size()), bytesOf(bytes).data(), bytesOf(bytes).data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
#endif

// A fresh text as large as the load reserves, with large pages asked for as
// the load asks.
QString freshText(qsizetype units)
{
    QString text;
    text.reserve(units);
    Platform::adviseLargePages(text.constData(), size_t(text.capacity()) * sizeof(char16_t));
    return text;
}

// The plain bytes decoded into a fresh text, in the load's pieces: the load
// without reading, cipher and split.
void BM_DecodeOnly(benchmark::State &state)
{
    QByteArray plain = benchBank(int(state.range(0))).enciphered;
    BankFile::cipherInMemory(plain);
    constexpr qsizetype Piece = CipheredPieces::PieceBytes;
    for (auto _ : state) {
        QString text = freshText(plain.size() + 1);
        CodePage::AnsiDecoder decoder;
        for (qsizetype at = 0; at < plain.size(); at += Piece)
            decoder.decode(QByteArrayView(plain).sliced(at, qMin(Piece, plain.size() - at)), text);
        decoder.finish(text);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * plain.size());
}

// What the system takes to hand out the load's text as fresh, zeroed pages:
// one unit written a page.
void BM_FreshPages(benchmark::State &state)
{
    constexpr qsizetype UnitsPerPage = 4096 / sizeof(char16_t);
    const qsizetype units = benchBank(int(state.range(0))).enciphered.size() + 1;
    for (auto _ : state) {
        QString text = freshText(units);
        char16_t *data = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype at = 0; at < units; at += UnitsPerPage)
            data[at] = u' ';
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * units * qsizetype(sizeof(char16_t)));
}

void bankSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

// The search at every size, the largest four times the bank of a million pairs.
void searchSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(4'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace

// A long search runs on two threads: wall time for the searches.
BENCHMARK(BM_SearchFullScan)->Apply(searchSizes)->UseRealTime();
BENCHMARK(BM_SearchCommonFirstPair)->Apply(searchSizes)->UseRealTime();
BENCHMARK(BM_SearchCommonFirstPairOneThread)->Apply(searchSizes);
BENCHMARK(BM_SearchHitsAtTheEnd)->Apply(searchSizes)->UseRealTime();
BENCHMARK(BM_SearchTypical)->Apply(searchSizes)->UseRealTime();
BENCHMARK(BM_BaselinePerLine)->Apply(searchSizes);
BENCHMARK(BM_MemoryTouch)->Apply(searchSizes);
BENCHMARK(BM_MemoryTouchTwoThreads)->Apply(searchSizes)->UseRealTime();
// The load and the decode run on two threads and on one: wall time for both.
BENCHMARK(BM_BankLoad)->Apply(bankSizes)->UseRealTime();
BENCHMARK(BM_DecodeOnly)->Apply(bankSizes)->UseRealTime();
BENCHMARK(BM_FreshPages)->Apply(bankSizes)->UseRealTime();
BENCHMARK(BM_CipherOnly)->Apply(bankSizes);
BENCHMARK(BM_CipherStreams)->ArgsProduct({{1'000'000}, {1, 2, 3, 4}})->Unit(benchmark::kMillisecond);
#if defined(VELLMAR_BENCH_OPENSSL)
BENCHMARK(BM_CipherOpenSsl)->Apply(bankSizes);
#endif

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
