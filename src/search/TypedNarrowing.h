#pragma once

#include "bank/QuestionLines.h"
#include "search/SearchQuestions.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Narrows the next search from what the player typed before. While the query
// is still too short to search, or between keys, a thread of its own, on
// time no other thread wants, finds
// every question line that holds the text typed so far (lower-cased), as long
// as they are few. A later query that holds that text then checks only those
// lines, in bank order: the same hits as a scan of the whole bank, from far
// less text. Any other query is scanned as SearchQuestions does.
class TypedNarrowing
{
public:
    // Lines of a narrowing kept at most: one question in this many, and
    // never fewer than MinKeptLines. A search checks a kept line in some
    // 56 ns, where the scan of the whole bank on both cores takes some
    // 3.5 ns a pair: at its cap a narrowed search still costs about a
    // quarter of the scan.
    static constexpr qsizetype PairsPerKeptLine = 64;
    static constexpr qsizetype MinKeptLines = 1024;

    // Narrows searches of `lines`, which must outlive it; linesChanging()
    // comes before they change. `maxLines` (by default as above) caps a
    // narrowing's lines: past it the narrowing is dropped.
    explicit TypedNarrowing(const QuestionLines &lines, std::optional<qsizetype> maxLines = std::nullopt);
    // Stops the narrowing in progress and the thread.
    ~TypedNarrowing();

    TypedNarrowing(const TypedNarrowing &) = delete;
    TypedNarrowing &operator=(const TypedNarrowing &) = delete;

    // SearchQuestions(lines, query, split), through the narrowing at hand
    // where it serves. A narrowing in progress is told to stop, not waited
    // for, so that the search has both cores.
    std::optional<SearchResult> search(const QString &query, const ScanSplit &split = {});

    // The query box now holds `query`: narrows by it in the background,
    // stopping a narrowing in progress for an earlier text.
    void typed(const QString &query);

    // Stops the narrowing in progress, waiting for it to end its piece of
    // the bank's text, and forgets every narrowing: they belong to the
    // lines as they were.
    void linesChanging();

    // Waits until no narrowing is in progress or waiting.
    void waitForNarrowing();
    // The lower-cased text that the narrowing at hand was made for; empty
    // when there is none.
    QString narrowedBy() const;

private:
    // The question lines that hold `text`, in bank order.
    struct Narrowing
    {
        QString text;
        std::vector<std::uint32_t> questions;
    };

    struct Job
    {
        QString text;
        std::shared_ptr<const Narrowing> from; // a narrowing by a part of `text`, or null: the whole bank
    };

    void serve();
    // These three with the lock held. False where the system refuses a thread.
    bool startThread();
    void stopForSearch();
    std::shared_ptr<const Narrowing> servingNarrowing(const QString &text) const;

    std::optional<Narrowing> narrow(const Job &job);
    bool scanBank(const QString &text, Narrowing &narrowing);
    bool filter(const Narrowing &from, Narrowing &narrowing);
    bool withinCap(const Narrowing &narrowing) const;
    SearchResult searchNarrowed(const Narrowing &narrowing, const QString &needle) const;

    const QuestionLines &m_lines;
    const std::optional<qsizetype> m_maxLines;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Job> m_waiting;
    std::optional<QString> m_running;           // the text being narrowed by
    std::shared_ptr<const Narrowing> m_atHand;  // the latest complete narrowing within the cap
    bool m_stop = false;
    std::thread m_thread;

    std::atomic<bool> m_cancel = false; // the narrowing in progress is to stop
};
