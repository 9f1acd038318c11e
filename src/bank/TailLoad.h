#pragma once

#include "cipher/KeystreamCheckpoints.h"
#include "platform/Platform.h"
#include "text/AnsiDecoder.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <thread>

class QFile;

// Loads the last stretch of a bank on a thread of its own while the caller
// loads the first: reads and deciphers it (CipheredPieces), decodes and
// splits it from the first place near its start where a second decoder may
// take up the text (AnsiDecoder::freshStart). The bytes before that place go
// to the caller, whose text they end. The thread writes its text into the
// room the caller reserved for the whole text, past anything the caller
// writes; the caller moves each part down behind its own text as it comes.
// The thread claims the stretch a group of segments at a time; once the
// caller has nothing left to move it takes back every group the thread has
// not begun and loads those itself, so neither waits for work the other has
// not begun.
class TailLoad
{
public:
    // Starts loading `file` from `from`, a checkpoint's offset, up to `to`,
    // into `text`, which has room for to + 3 units and into which the caller
    // writes at most one unit for each byte before the thread's start, and
    // one more. The thread begins at most `groupLimit` groups. Where the
    // system refuses a thread, started() is false.
    TailLoad(QFile &file, qint64 from, qint64 to, const KeystreamCheckpoints &checkpoints, char16_t *text,
             int groupLimit);
    // Stops the thread, also in the middle, and waits for it.
    ~TailLoad();

    TailLoad(const TailLoad &) = delete;
    TailLoad &operator=(const TailLoad &) = delete;

    bool started() const { return m_thread.joinable(); }

    // Takes back the whole stretch when the thread has begun none of it: it
    // then writes nothing, and the caller loads it all without waiting for
    // it. False when the thread has begun.
    bool takeBackWhole();
    // Waits for the place where the thread's text begins and gives the
    // deciphered bytes before it. False when there is no such place near the
    // start (or reading failed there): the thread has stopped without
    // writing, and the caller loads the whole stretch itself.
    bool waitForStart(QByteArray &leadIn);
    // Moves the thread's text, each part as soon as it is split, to
    // `destination`, which lies before where the thread writes; returns its
    // length in units, or -1 when reading failed, with the reason in `error`.
    // Once there is nothing to move, it takes back every group the thread
    // has not begun, and waits only for the one it is in.
    // Throws std::bad_alloc when the thread ran out of memory.
    qsizetype moveText(char16_t *destination, QString &error);
    // Where the thread's lines but its first begin, counted from its text's
    // beginning; once moveText has returned.
    std::span<const std::uint32_t> lineStarts() const;
    // Where the groups taken back begin (the end of the stretch when there
    // are none), and the decoder that goes on there; once moveText has returned.
    qint64 resumeAt() const { return m_resumeAt; }
    CodePage::AnsiDecoder &decoder() { return m_decoder; }

private:
    enum class Stage { Starting, Loading, NoStart, Done };

    void load(QFile &file, qint64 from, qint64 to, const KeystreamCheckpoints &checkpoints, char16_t *text);
    bool claim(qint64 groupStart);
    void reach(Stage stage);
    void publish(qsizetype units);
    void split(qsizetype units);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Stage m_stage = Stage::Starting;
    QByteArray m_leadIn;
    const char16_t *m_written = nullptr; // where the thread's text begins
    qsizetype m_ready = 0;                // units of it written and split
    bool m_callerWaits = false;
    QString m_error;
    std::exception_ptr m_outOfMemory;
    std::atomic<bool> m_stop = false;
    bool m_takenBack = false;
    int m_groupsBegun = 0;
    const int m_groupLimit;
    qint64 m_resumeAt;

    // The thread's own until Done. Its line starts are taken from the system,
    // which gets them back at once: a text of n units has n / 2 line breaks at most.
    Platform::PageBuffer m_lineStarts;
    qsizetype m_lineCount = 0;
    qsizetype m_split = 0;
    CodePage::AnsiDecoder m_decoder;

    std::thread m_thread;
};
