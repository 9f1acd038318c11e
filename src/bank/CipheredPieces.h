#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

class QFile;

// Reads a bank file and deciphers it on a thread of its own, in pieces small
// enough to stay in the cache, a few pieces ahead of the caller, who decodes
// and splits them meanwhile. The cipher runs on from where each piece stopped.
class CipheredPieces
{
public:
    static constexpr qint64 PieceBytes = qint64(1) << 15;

    // Starts reading up to `size` bytes of `file` at once. The file belongs to
    // the thread until this object is gone. Where the system refuses a thread,
    // each piece is read and deciphered by next() itself instead.
    CipheredPieces(QFile &file, qint64 size);
    // Stops the thread, also in the middle of the file, and waits for it.
    ~CipheredPieces();

    CipheredPieces(const CipheredPieces &) = delete;
    CipheredPieces &operator=(const CipheredPieces &) = delete;

    // The next deciphered piece, valid until the next call; empty at the end
    // of the file or once reading failed. Throws std::bad_alloc when the
    // thread ran out of memory.
    QByteArrayView next();
    // Why reading failed; empty when it did not.
    QString errorString() const;

private:
    // Pieces in flight: about as many as fit the second-level cache.
    static constexpr int SlotCount = 8;
    // The thread waits for this many free slots at once, so that it wakes
    // seldom when the caller is the slower one.
    static constexpr int Refill = SlotCount / 2;

    void readAll(QFile &file, qint64 size);
    QByteArrayView readOnThisThread();
    qint64 freeSlots() const { return SlotCount - (m_filled - m_taken); }
    // Waits for room while every slot is full; false once told to stop.
    bool waitForRoom();
    void publish(qint64 bytes);
    void finish(const QString &error, bool outOfMemory);

    std::array<QByteArray, SlotCount> m_slots;
    std::array<qint64, SlotCount> m_sizes{};
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_filled = 0;       // pieces the thread has deciphered
    qint64 m_taken = 0;        // pieces the caller is done with
    bool m_callerHolds = false; // the caller holds piece m_taken
    bool m_callerWaits = false;
    bool m_threadWaits = false;
    bool m_finished = false;
    bool m_stop = false;
    bool m_outOfMemory = false;
    QString m_error;
    QFile *m_file = nullptr; // read by next() itself: no thread could be started
    qint64 m_size = 0;
    qint64 m_read = 0;
    std::thread m_thread;
};
