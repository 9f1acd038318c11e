// The makers' tool on a generated bank of a million pairs: build with the
// initials filled in beside build of a source that already holds them, and
// lint beside check; and reading a makers' readings file of 100,000 lines.

#include "BankGenerator.h"

#include "BankCheck.h"
#include "BankLint.h"
#include "BankSource.h"
#include "BankText.h"
#include "QuestionInitials.h"
#include "ReadingOverrides.h"

#include "text/CodePage.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr std::uint64_t Seed = 9;

struct MakerBank
{
    QByteArray plain;          // GBK, CR LF lines, initials written
    QByteArray writtenSource;  // UTF-8, LF lines, initials written
    QByteArray bareSource;     // the same without "-" and initials
};

MakerBank makeBank(int pairs)
{
    MakerBank bank;
    bank.plain = BankGenerator::plainBank(pairs, Seed);
    QStringList lines = CodePage::fromAnsi(bank.plain).split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last CR LF
    bank.writtenSource = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    for (qsizetype index = 0; index < lines.size(); index += 2)
        lines[index] = lines.at(index).section(QLatin1Char('-'), 0, 0);
    bank.bareSource = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return bank;
}

const MakerBank &makerBank(int pairs)
{
    static std::map<int, MakerBank> banks;
    auto found = banks.find(pairs);
    if (found == banks.end())
        found = banks.emplace(pairs, makeBank(pairs)).first;
    return found->second;
}

// The build as the tool runs it: a fresh per-character cache every time.
void runBuild(benchmark::State &state, const QByteArray &source)
{
    for (auto _ : state) {
        QuestionInitials initials;
        const BankSource::FillInitials fill = [&](const QString &question, qsizetype) {
            return initials.fill(question).initials;
        };
        QByteArray plain;
        QString error;
        if (!BankSource::compile(source, QStringLiteral("bench"), plain, error, fill)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(plain);
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}

void BM_BuildFillingInitials(benchmark::State &state)
{
    runBuild(state, makerBank(int(state.range(0))).bareSource);
}

void BM_BuildInitialsWritten(benchmark::State &state)
{
    runBuild(state, makerBank(int(state.range(0))).writtenSource);
}

void BM_Lint(benchmark::State &state)
{
    const QByteArray &plain = makerBank(int(state.range(0))).plain;
    for (auto _ : state) {
        QuestionInitials initials;
        const LintReport report = BankLint::lint(BankText::fromBank(QuestionLines::fromPlainBank(plain)),
                                                 [&](QStringView question) { return initials.fill(question).initials; });
        benchmark::DoNotOptimize(report);
    }
    state.SetBytesProcessed(state.iterations() * plain.size());
}

void BM_Check(benchmark::State &state)
{
    const QByteArray &plain = makerBank(int(state.range(0))).plain;
    for (auto _ : state)
        benchmark::DoNotOptimize(checkBank(QuestionLines::fromPlainBank(plain)));
    state.SetBytesProcessed(state.iterations() * plain.size());
}

// A readings file of distinct words made of the common characters, each with
// initials of its length.
QByteArray readingsFile(int lines)
{
    constexpr char16_t FirstCharacter = u'一';
    constexpr int Characters = 2000;
    QString text;
    for (int line = 0; line < lines; ++line) {
        const int word = line + Characters; // two or more characters each
        QString characters, initials;
        for (int rest = word; rest > 0; rest /= Characters) {
            characters += QChar(char16_t(FirstCharacter + rest % Characters));
            initials += QLatin1Char('a');
        }
        text += characters + QLatin1Char(' ') + initials + QLatin1Char('\n');
    }
    return text.toUtf8();
}

void BM_ReadingsFile(benchmark::State &state)
{
    const QByteArray file = readingsFile(int(state.range(0)));
    for (auto _ : state) {
        ReadingOverrides overrides;
        QString error;
        if (!ReadingOverrides::parse(file, QStringLiteral("bench"), overrides, error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(overrides);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void makerSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_BuildFillingInitials)->Apply(makerSizes);
BENCHMARK(BM_BuildInitialsWritten)->Apply(makerSizes);
BENCHMARK(BM_Lint)->Apply(makerSizes);
BENCHMARK(BM_Check)->Apply(makerSizes);
BENCHMARK(BM_ReadingsFile)->Arg(100'000)->Unit(benchmark::kMillisecond);
