#include "bank/CipheredPieces.h"

#include "bank/BankFile.h"
#include "cipher/MRC4.h"

#include <QFile>

#include <new>
#include <span>
#include <system_error>

CipheredPieces::CipheredPieces(QFile &file, qint64 size)
{
    for (QByteArray &slot : m_slots)
        slot = QByteArray(PieceBytes, Qt::Uninitialized);
    try {
        m_thread = std::thread([this, &file, size] { readAll(file, size); });
    } catch (const std::system_error &) {
        // Out of threads (a process limit, say): slower, but the bank loads.
        m_file = &file;
        m_size = size;
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
    if (m_file)
        return readOnThisThread();
    std::unique_lock lock(m_mutex);
    if (m_callerHolds) {
        ++m_taken;
        m_callerHolds = false;
        if (m_threadWaits && freeSlots() >= Refill)
            m_changed.notify_all();
    }
    if (m_filled == m_taken && !m_finished) {
        m_callerWaits = true;
        m_changed.wait(lock, [this] { return m_filled > m_taken || m_finished; });
        m_callerWaits = false;
    }
    if (m_filled == m_taken) {
        if (m_outOfMemory)
            throw std::bad_alloc();
        return {};
    }
    m_callerHolds = true;
    const auto slot = size_t(m_taken % SlotCount);
    return QByteArrayView(m_slots[slot].constData(), m_sizes[slot]);
}

namespace {

// Reads the piece of `file` that begins `done` bytes into the bank and
// deciphers it in `slot`; the bytes read, 0 at the end, -1 on failure.
qint64 readPiece(QFile &file, QByteArray &slot, qint64 done, qint64 size, QString &error)
{
    const qint64 read = file.read(slot.data(), qMin(CipheredPieces::PieceBytes, size - done));
    if (read < 0)
        error = file.errorString();
    if (read <= 0)
        return read;
    const std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t *>(slot.data()), size_t(read));
    MRC4::CryptBytes(bytes, done == 0 ? BankFile::BankKey : QString());
    return read;
}

} // namespace

QByteArrayView CipheredPieces::readOnThisThread()
{
    const qint64 read = m_read < m_size ? readPiece(*m_file, m_slots[0], m_read, m_size, m_error) : 0;
    if (read <= 0)
        return {};
    m_read += read;
    return QByteArrayView(m_slots[0].constData(), read);
}

QString CipheredPieces::errorString() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

bool CipheredPieces::waitForRoom()
{
    std::unique_lock lock(m_mutex);
    if (freeSlots() == 0 && !m_stop) {
        m_threadWaits = true;
        m_changed.wait(lock, [this] { return m_stop || freeSlots() >= Refill; });
        m_threadWaits = false;
    }
    return !m_stop;
}

void CipheredPieces::publish(qint64 bytes)
{
    std::unique_lock lock(m_mutex);
    m_sizes[size_t(m_filled % SlotCount)] = bytes;
    ++m_filled;
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

// Only this thread moves m_filled on, so it reads it without the lock; the
// slot it fills is free, for the caller never holds a slot past m_filled.
void CipheredPieces::readAll(QFile &file, qint64 size)
{
    QString error;
    try {
        qint64 total = 0;
        while (total < size && waitForRoom()) {
            const qint64 read = readPiece(file, m_slots[size_t(m_filled % SlotCount)], total, size, error);
            if (read <= 0)
                break;
            publish(read);
            total += read;
        }
    } catch (const std::bad_alloc &) {
        finish({}, true);
        return;
    }
    finish(error, false);
}
