#include "search/TypedNarrowing.h"

#include "search/QuestionRangeScan.h"
#include "search/RarestPair.h"

#include "platform/Platform.h"

#include <algorithm>
#include <system_error>

namespace {

// The bank is narrowed in pieces of about this much text (some 30 µs each):
// a narrowing that is stopped ends within one piece.
constexpr qsizetype PieceUnits = qsizetype(1) << 18;
// A narrowing's lines are checked against a longer text this many at a time
// between looks at whether it was stopped.
constexpr size_t FilterStep = 1024;

// The narrowing text: at least a pair of units, as the bank's scan looks for pairs.
constexpr qsizetype MinNarrowingUnits = 2;

} // namespace

TypedNarrowing::TypedNarrowing(const QuestionLines &lines, std::optional<qsizetype> maxLines)
    : m_lines(lines), m_maxLines(maxLines)
{
}

TypedNarrowing::~TypedNarrowing()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_waiting.reset();
        m_cancel = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::optional<SearchResult> TypedNarrowing::search(const QString &query, const ScanSplit &split)
{
    const std::optional<QString> needle = searchNeedle(query);
    if (!needle)
        return std::nullopt;
    std::shared_ptr<const Narrowing> narrowing;
    {
        const std::lock_guard lock(m_mutex);
        stopForSearch();
        narrowing = servingNarrowing(*needle);
    }
    if (!narrowing)
        return SearchQuestions(m_lines, query, split);
    return searchNarrowed(*narrowing, *needle);
}

void TypedNarrowing::typed(const QString &query)
{
    const QString text = query.toLower();
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.reset();
        if (m_running == text && !m_cancel)
            return;
        if (m_running)
            m_cancel = true;
        if (text.size() < MinNarrowingUnits || (m_atHand && m_atHand->text == text) || !startThread())
            return;
        m_waiting = Job{text, servingNarrowing(text)};
    }
    m_changed.notify_all();
}

void TypedNarrowing::linesChanging()
{
    std::unique_lock lock(m_mutex);
    m_waiting.reset();
    m_cancel = true;
    m_changed.wait(lock, [this] { return !m_running; });
    m_atHand.reset();
}

void TypedNarrowing::waitForNarrowing()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_waiting && !m_running; });
}

QString TypedNarrowing::narrowedBy() const
{
    const std::lock_guard lock(m_mutex);
    return m_atHand ? m_atHand->text : QString();
}

bool TypedNarrowing::startThread()
{
    if (m_thread.joinable())
        return true;
    try {
        m_thread = std::thread([this] { serve(); });
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

// A search keeps both cores, and never waits for the narrowing's thread,
// which runs only on time nobody else wants: the narrowing in progress is
// told to stop, and the search goes on without it.
void TypedNarrowing::stopForSearch()
{
    m_waiting.reset();
    if (m_running)
        m_cancel = true;
}

std::shared_ptr<const TypedNarrowing::Narrowing> TypedNarrowing::servingNarrowing(const QString &text) const
{
    // Every line that holds `text` holds each part of it.
    if (m_atHand && text.contains(m_atHand->text))
        return m_atHand;
    return nullptr;
}

void TypedNarrowing::serve()
{
    // Narrowing is only ever ahead of the player: the window's thread, the
    // search's worker and the display come first.
    Platform::runThreadWhenIdle();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_waiting || m_stop; });
        if (m_stop)
            return;
        const Job job = std::move(*m_waiting);
        m_waiting.reset();
        m_running = job.text;
        m_cancel = false;
        lock.unlock();
        std::optional<Narrowing> made = narrow(job);
        lock.lock();
        if (made)
            m_atHand = std::make_shared<const Narrowing>(std::move(*made));
        m_running.reset();
        m_changed.notify_all();
    }
}

// None when stopped or past the cap.
std::optional<TypedNarrowing::Narrowing> TypedNarrowing::narrow(const Job &job)
{
    Narrowing narrowing{job.text, {}};
    const bool complete = job.from ? filter(*job.from, narrowing) : scanBank(job.text, narrowing);
    if (!complete)
        return std::nullopt;
    return narrowing;
}

// The bank in pieces, each scanned for up to MaxHits lines at a time.
bool TypedNarrowing::scanBank(const QString &text, Narrowing &narrowing)
{
    if (m_lines.size() < 2)
        return true;
    const qsizetype lastQuestion = (m_lines.size() - 2) & ~qsizetype(1);
    const qsizetype end = m_lines.lineEnd(lastQuestion);
    const RarestPair rarest = rarestPair(QStringView(m_lines.text()).first(end), text);
    const std::atomic<int> wanted = MaxHits;
    for (qsizetype first = 0; first <= lastQuestion;) {
        if (m_cancel.load(std::memory_order_relaxed))
            return false;
        const qsizetype pieceEnd = firstQuestionFrom(m_lines, m_lines.lineStart(first) + PieceUnits, lastQuestion) - 2;
        const qsizetype last = std::max(pieceEnd, first);
        const QuestionHits hits = scanQuestionRange(m_lines, text, rarest, first, last, wanted);
        for (int hit = 0; hit < hits.count; ++hit)
            narrowing.questions.push_back(std::uint32_t(hits.lines[size_t(hit)]));
        if (!withinCap(narrowing))
            return false;
        first = hits.count == MaxHits ? hits.lines[MaxHits - 1] + 2 : last + 2;
    }
    return true;
}

// The lines of a narrowing by a part of the text that also hold the whole.
bool TypedNarrowing::filter(const Narrowing &from, Narrowing &narrowing)
{
    const size_t count = from.questions.size();
    for (size_t index = 0; index < count; ++index) {
        if (index % FilterStep == 0 && m_cancel.load(std::memory_order_relaxed))
            return false;
        const std::uint32_t line = from.questions[index];
        if (m_lines.at(line).contains(narrowing.text))
            narrowing.questions.push_back(line);
    }
    return true;
}

bool TypedNarrowing::withinCap(const Narrowing &narrowing) const
{
    const qsizetype cap = m_maxLines.value_or(std::max(m_lines.pairCount() / PairsPerKeptLine, MinKeptLines));
    return qsizetype(narrowing.questions.size()) <= cap;
}

// The narrowing's lines in bank order, as the scan of the whole bank would meet them.
SearchResult TypedNarrowing::searchNarrowed(const Narrowing &narrowing, const QString &needle) const
{
    SearchResult result;
    for (const std::uint32_t line : narrowing.questions) {
        const QStringView question = m_lines.at(line);
        if (!question.contains(needle))
            continue;
        result.addHit(question, m_lines.at(line + 1));
        if (result.HitCount == MaxHits)
            break;
    }
    result.finish();
    return result;
}
