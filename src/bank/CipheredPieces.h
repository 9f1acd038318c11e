#pragma once

#include "cipher/KeystreamCheckpoints.h"
#include "cipher/Rc4Streams.h"
#include "platform/Platform.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class QFile;

// Reads a bank file and deciphers it on a thread of its own, ahead of the
// caller, who decodes and splits the pieces meanwhile. The keystream is taken
// up at the checkpoints of the bank key (BankCheckpoints), so the thread
// deciphers several segments between checkpoints at once in one loop
// (Rc4Streams); the caller gets the bytes in the file's order.
class CipheredPieces
{
public:
    // The most the caller gets at once: small enough to stay in the cache
    // while it is decoded and split.
    static constexpr qint64 PieceBytes = qint64(1) << 15;
    // Segments deciphered together.
    static constexpr int Streams = 3;

    // Starts reading up to `size` bytes of `file` at once. The file belongs to
    // the thread until this object is gone. Where the system refuses a thread,
    // next() itself reads and deciphers as it goes instead.
    CipheredPieces(QFile &file, qint64 size);
    // The same with the given checkpoints of the bank key's keystream.
    CipheredPieces(QFile &file, qint64 size, const KeystreamCheckpoints &checkpoints);
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
    // Segments in the ring: those deciphered together and as many again,
    // which the thread fills while the caller takes the others.
    static constexpr int SlotCount = 2 * Streams;

    struct Group
    {
        int first = 0; // segment
        int count = 0;
        std::array<qint64, Streams> bytes{};
    };

    qint64 segmentBytes() const { return m_checkpoints.spacing(); }
    qint64 segmentSize(int segment) const { return qMin(segmentBytes(), m_size - segment * segmentBytes()); }
    int slotOf(int segment) const { return segment % SlotCount; }
    char *slotData(int segment) const { return m_ring.data() + slotOf(segment) * segmentBytes(); }
    int groupSize(int first) const;
    bool hasRoomFor(int segment) const;

    void readAll(QFile &file);
    // Reads and deciphers the next group of segments; false at the end.
    bool decipherGroup(QFile &file, QString &error);
    bool waitForRoom(int lastSegment);
    bool readGroup(QFile &file, Group &group, QString &error);
    void startStreams(const Group &group);
    void decipher(Group &group);
    void publish(const Group &group, qint64 done);
    void finish(const QString &error, bool outOfMemory);

    const KeystreamCheckpoints &m_checkpoints;
    qint64 m_size;
    int m_segmentCount;
    Platform::PageBuffer m_ring;

    // The deciphering side's own.
    int m_nextSegment = 0;
    std::vector<Rc4Streams::Stream> m_streams;

    // Shared, under the mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<int, SlotCount> m_slotSegment;
    std::array<qint64, SlotCount> m_slotDone{}; // bytes of the slot's segment deciphered
    qint64 m_released = 0; // the caller is done with every byte before this
    qint64 m_held = 0;     // bytes of the piece the caller holds, from m_released on
    int m_threadNeeds = 0; // the segment the waiting thread needs room for
    bool m_callerWaits = false;
    bool m_threadWaits = false;
    bool m_finished = false;
    bool m_stop = false;
    bool m_outOfMemory = false;
    QString m_error;

    QFile *m_file = nullptr; // read by next() itself: no thread could be started
    std::thread m_thread;
};
