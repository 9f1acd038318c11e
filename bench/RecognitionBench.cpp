// Reading questions off pictures of them: how often the right question of
// the sample bank comes first, by look and size, and what the OCR of one line
// costs with the model loaded, and what loading the model costs. Needs a Qt platform for the fonts; `make bench`
// runs it offscreen.

#include "FailureText.h"
#include "QuestionPictures.h"
#include "ResidentMemory.h"

#include "bank/BankReader.h"
#include "screen/ModelTrial.h"
#include "screen/TextRecogniser.h"
#include "search/BigramIndex.h"
#include "search/SearchResult.h"
#include "search/TolerantSearch.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <map>
#include <stdexcept>

namespace {

struct SampleBank
{
    QuestionLines lines;
    BigramIndex index;
};

const SampleBank &sampleBank()
{
    static const SampleBank bank = [] {
        SampleBank loaded;
        BankReader reader;
        if (!reader.readQuestionLines(QStringLiteral(VELLMAR_SAMPLE_BANK), loaded.lines))
            throw std::runtime_error(failureText(reader.failure()).toStdString());
        loaded.index = BigramIndex::build(loaded.lines);
        return loaded;
    }();
    return bank;
}

TextRecogniser &recogniser()
{
    static TextRecogniser engine;
    return engine;
}

// Questions drawn in one look and size, the fonts and wrapping taking turns.
void BM_RightQuestionFirst(benchmark::State &state)
{
    const auto look = PictureStyle::Look(state.range(0));
    const int pixelSize = int(state.range(1));
    constexpr int Questions = 50;
    const SampleBank &bank = sampleBank();
    const QStringList families = pictureFamilies();
    int first = 0;
    for (auto _ : state) {
        first = 0;
        for (int n = 0; n < Questions; ++n) {
            const qsizetype pair = (qsizetype(n) * 37 + 11) % bank.lines.pairCount();
            const QString question = questionText(bank.lines.at(2 * pair)).toString();
            const PictureStyle style{look, pixelSize, families[n % families.size()], n % 3 == 2};
            const std::optional<QString> text = recogniser().read(questionPicture(question, style, quint32(n)));
            if (!text) {
                state.SkipWithError("the OCR model cannot be loaded");
                return;
            }
            const TolerantResult result = RankQuestions(bank.lines, bank.index, *text);
            first += !result.isEmpty() && result.Questions.front() == question;
        }
    }
    state.counters["right_first"] = double(first) / Questions;
    state.counters["images"] = Questions;
}

void lookAndSize(benchmark::internal::Benchmark *benchmark)
{
    for (int look = 0; look < 3; ++look)
        for (const int size : {14, 16, 20})
            benchmark->Args({look, size});
    benchmark->ArgNames({"look", "px"})->Iterations(1)->Unit(benchmark::kMillisecond);
}

void BM_RecogniseOneLine(benchmark::State &state)
{
    const QImage picture = questionPicture(QStringLiteral("世界上面积最大的国家是哪个？"), PictureStyle{});
    if (!recogniser().read(picture)) {
        state.SkipWithError("the OCR model cannot be loaded");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(recogniser().read(picture));
}

// A reading with the model let go first, as the first one after the worker's
// idle minute: the engine's Init and one line, and the resident memory they add.
void BM_LoadModelAndRead(benchmark::State &state)
{
    const QImage picture = questionPicture(QStringLiteral("世界上面积最大的国家是哪个？"), PictureStyle{});
    double addedBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        recogniser().unloadModel();
        releaseFreedMemory();
        const std::int64_t before = residentBytes();
        state.ResumeTiming();
        if (!recogniser().read(picture)) {
            state.SkipWithError("the OCR model cannot be loaded");
            return;
        }
        state.PauseTiming();
        releaseFreedMemory();
        addedBytes += double(residentBytes() - before);
        state.ResumeTiming();
    }
    state.counters["added_mb"] = addedBytes / double(state.iterations()) / (1024 * 1024);
}

// What the first load adds: the model tried in a child process.
void BM_ModelTrial(benchmark::State &state)
{
    for (auto _ : state) {
        if (modelTrialFailure(TextRecogniser::ModelName)) {
            state.SkipWithError("the OCR model cannot be loaded");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_RightQuestionFirst)->Apply(lookAndSize);
BENCHMARK(BM_RecogniseOneLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadModelAndRead)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ModelTrial)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
