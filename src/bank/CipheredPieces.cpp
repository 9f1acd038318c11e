#include "bank/CipheredPieces.h"

#include "bank/BankCheckpoints.h"

#include <QFile>

#include <new>
#include <span>
#include <system_error>

CipheredPieces::CipheredPieces(QFile &file, qint64 size) : CipheredPieces(file, size, BankCheckpoints::table()) {}

CipheredPieces::CipheredPieces(QFile &file, qint64 size, const KeystreamCheckpoints &checkpoints)
    : m_checkpoints(checkpoints),
      m_size(size),
      m_segmentCount(int((size + checkpoints.spacing() - 1) / checkpoints.spacing())),
      m_ring(size_t(SlotCount * qMin(checkpoints.spacing(), size)))
{
    m_slotSegment.fill(-1);
    m_streams.reserve(Streams);
    try {
        m_thread = std::thread([this, &file] { readAll(file); });
    } catch (const std::system_error &) {
        // Out of threads (a process limit, say): slower, but the bank loads.
        m_file = &file;
    }
}

CipheredPieces::~CipheredPieces()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

QByteArrayView CipheredPieces::next()
{
    std::unique_lock lock(m_mutex);
    m_released += m_held;
    m_held = 0;
    if (m_threadWaits && hasRoomFor(m_threadNeeds))
        m_changed.notify_all();
    for (;;) {
        const qint64 segmentBytes = this->segmentBytes();
        const int segment = int(m_released / segmentBytes);
        const int slot = slotOf(segment);
        const qint64 done = segment < m_segmentCount && m_slotSegment[size_t(slot)] == segment ? m_slotDone[size_t(slot)] : 0;
        const qint64 offset = m_released - segment * segmentBytes;
        if (done > offset) {
            m_held = qMin(done - offset, PieceBytes);
            return QByteArrayView(slotData(segment) + offset, m_held);
        }
        if (m_finished || segment >= m_segmentCount) {
            if (m_outOfMemory)
                throw std::bad_alloc();
            return {};
        }
        if (m_file) {
            lock.unlock();
            QString error;
            if (!decipherGroup(*m_file, error))
                finish(error, false);
            lock.lock();
            continue;
        }
        m_callerWaits = true;
        m_changed.wait(lock);
        m_callerWaits = false;
    }
}

QString CipheredPieces::errorString() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

// Segments from one checkpoint each; past the last checkpoint one at a time,
// each going on from where the one before stopped.
int CipheredPieces::groupSize(int first) const
{
    if (first >= m_checkpoints.count())
        return 1;
    return qMin(Streams, qMin(m_checkpoints.count(), m_segmentCount) - first);
}

// The slot of `segment` held segment - SlotCount, which the caller must be done with.
bool CipheredPieces::hasRoomFor(int segment) const
{
    return m_released >= (segment - SlotCount + 1) * segmentBytes();
}

bool CipheredPieces::waitForRoom(int lastSegment)
{
    std::unique_lock lock(m_mutex);
    if (!hasRoomFor(lastSegment) && !m_stop) {
        m_threadNeeds = lastSegment;
        m_threadWaits = true;
        m_changed.wait(lock, [this, lastSegment] { return m_stop || hasRoomFor(lastSegment); });
        m_threadWaits = false;
    }
    return !m_stop;
}

bool CipheredPieces::decipherGroup(QFile &file, QString &error)
{
    Group group;
    group.first = m_nextSegment;
    group.count = m_nextSegment < m_segmentCount ? groupSize(m_nextSegment) : 0;
    if (group.count == 0 || !waitForRoom(group.first + group.count - 1))
        return false;
    {
        const std::lock_guard lock(m_mutex);
        for (int n = 0; n < group.count; ++n) {
            m_slotSegment[size_t(slotOf(group.first + n))] = group.first + n;
            m_slotDone[size_t(slotOf(group.first + n))] = 0;
        }
    }
    const bool whole = readGroup(file, group, error);
    startStreams(group);
    decipher(group);
    m_nextSegment = group.first + group.count;
    return whole;
}

// Reads the group's segments; a failure or an early end of the file cuts the
// group short, and reading stops there.
bool CipheredPieces::readGroup(QFile &file, Group &group, QString &error)
{
    for (int n = 0; n < group.count; ++n) {
        const int segment = group.first + n;
        const qint64 wanted = segmentSize(segment);
        qint64 total = 0;
        while (total < wanted) {
            const qint64 read = file.read(slotData(segment) + total, wanted - total);
            if (read < 0)
                error = file.errorString();
            if (read <= 0)
                break;
            total += read;
        }
        group.bytes[size_t(n)] = total;
        if (total < wanted) {
            group.count = total > 0 ? n + 1 : n;
            return false;
        }
    }
    return true;
}

void CipheredPieces::startStreams(const Group &group)
{
    if (group.first >= m_checkpoints.count()) {
        // Past the checkpoints: the last stream goes on alone.
        if (m_streams.size() > 1)
            m_streams.erase(m_streams.begin(), m_streams.end() - 1);
        return;
    }
    m_streams.clear();
    for (int n = 0; n < group.count; ++n)
        m_streams.emplace_back(m_checkpoints.at(group.first + n));
}

// A piece of each segment at a time, handed to the caller as it is done.
void CipheredPieces::decipher(Group &group)
{
    qint64 longest = 0;
    for (int n = 0; n < group.count; ++n)
        longest = qMax(longest, group.bytes[size_t(n)]);
    for (qint64 done = 0; done < longest;) {
        const qint64 step = qMin(PieceBytes, longest - done);
        std::array<Rc4Streams::Piece, Streams> pieces;
        for (int n = 0; n < group.count; ++n) {
            const qint64 length = qBound(qint64(0), group.bytes[size_t(n)] - done, step);
            auto *bytes = reinterpret_cast<std::uint8_t *>(slotData(group.first + n) + done);
            pieces[size_t(n)] = {&m_streams[size_t(n)], std::span<std::uint8_t>(bytes, size_t(length))};
        }
        Rc4Streams::crypt(std::span(pieces.data(), size_t(group.count)));
        done += step;
        publish(group, done);
    }
}

void CipheredPieces::publish(const Group &group, qint64 done)
{
    std::unique_lock lock(m_mutex);
    for (int n = 0; n < group.count; ++n)
        m_slotDone[size_t(slotOf(group.first + n))] = qMin(done, group.bytes[size_t(n)]);
    const bool wake = m_callerWaits;
    lock.unlock();
    if (wake)
        m_changed.notify_all();
}

void CipheredPieces::finish(const QString &error, bool outOfMemory)
{
    {
        const std::lock_guard lock(m_mutex);
        m_error = error;
        m_outOfMemory = outOfMemory;
        m_finished = true;
    }
    m_changed.notify_all();
}

void CipheredPieces::readAll(QFile &file)
{
    QString error;
    try {
        while (decipherGroup(file, error)) {
        }
    } catch (const std::bad_alloc &) {
        finish({}, true);
        return;
    }
    finish(error, false);
}
