#include "bank/TailLoad.h"

#include "bank/CipheredPieces.h"
#include "text/AnsiDecoder.h"
#include "text/UnitPairScan.h"

#include <cstring>
#include <new>
#include <system_error>

namespace {

// Past the caller's last unit there is the string's terminating null.
constexpr qsizetype CallerMargin = 2;

} // namespace

TailLoad::TailLoad(QFile &file, qint64 from, qint64 to, const KeystreamCheckpoints &checkpoints, char16_t *text,
                   int groupLimit)
    : m_groupLimit(groupLimit),
      m_resumeAt(to),
      m_lineStarts(size_t((to - from) / 2 + 1) * sizeof(std::uint32_t), Platform::PageBuffer::Pages::OnFirstWrite)
{
    try {
        m_thread = std::thread([=, this, &file, &checkpoints] { load(file, from, to, checkpoints, text); });
    } catch (const std::system_error &) {
        // Out of threads (a process limit, say): the caller loads it all.
    }
}

TailLoad::~TailLoad()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::span<const std::uint32_t> TailLoad::lineStarts() const
{
    return {reinterpret_cast<const std::uint32_t *>(m_lineStarts.data()), size_t(m_lineCount)};
}

bool TailLoad::takeBackWhole()
{
    const std::lock_guard lock(m_mutex);
    m_takenBack = m_groupsBegun == 0;
    return m_takenBack;
}

bool TailLoad::claim(qint64 groupStart)
{
    const std::lock_guard lock(m_mutex);
    if (m_takenBack || m_groupsBegun >= m_groupLimit) {
        m_resumeAt = groupStart;
        return false;
    }
    ++m_groupsBegun;
    return true;
}

void TailLoad::reach(Stage stage)
{
    {
        const std::lock_guard lock(m_mutex);
        m_stage = stage;
    }
    m_changed.notify_all();
}

bool TailLoad::waitForStart(QByteArray &leadIn)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stage != Stage::Starting; });
    leadIn = m_leadIn;
    return m_stage != Stage::NoStart;
}

qsizetype TailLoad::moveText(char16_t *destination, QString &error)
{
    qsizetype moved = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        const qsizetype ready = m_ready;
        const bool done = m_stage == Stage::Done;
        if (ready > moved) {
            lock.unlock();
            // Forward, and wholly below what the thread still reads or writes.
            std::memmove(destination + moved, m_written + moved, size_t(ready - moved) * sizeof(char16_t));
            moved = ready;
            lock.lock();
            continue;
        }
        if (done)
            break;
        m_takenBack = true;
        m_callerWaits = true;
        m_changed.wait(lock);
        m_callerWaits = false;
    }
    if (m_outOfMemory)
        std::rethrow_exception(m_outOfMemory);
    error = m_error;
    return error.isEmpty() ? moved : -1;
}

void TailLoad::publish(qsizetype units)
{
    std::unique_lock lock(m_mutex);
    m_ready = units;
    const bool wake = m_callerWaits;
    lock.unlock();
    if (wake)
        m_changed.notify_all();
}

// The line breaks in what was written since the last call; a CR at the end
// of the last piece may pair with an LF at the start of this one.
void TailLoad::split(qsizetype units)
{
    const qsizetype from = m_split > 0 ? m_split - 1 : 0;
    UnitPairScan::scan(QStringView(m_written, units), from, u'\r', u'\n', [this](qsizetype separator) {
        const qsizetype next = separator + 2;
        reinterpret_cast<std::uint32_t *>(m_lineStarts.data())[m_lineCount++] = std::uint32_t(next);
        return next;
    });
    m_split = units;
}

void TailLoad::load(QFile &file, qint64 from, qint64 to, const KeystreamCheckpoints &checkpoints, char16_t *text)
{
    try {
        CipheredPieces pieces(file, from, to, checkpoints);
        pieces.setClaim([this](qint64 groupStart) { return claim(groupStart); });
        QByteArrayView piece = pieces.next();
        const qsizetype start = CodePage::AnsiDecoder::freshStart(piece);
        if (start < 0) {
            reach(Stage::NoStart);
            return;
        }
        // The caller writes one unit at most for each byte before the start.
        char16_t *const written = text + from + start + CallerMargin;
        {
            const std::lock_guard lock(m_mutex);
            m_leadIn = piece.first(start).toByteArray();
            m_written = written;
        }
        reach(Stage::Loading);

        qsizetype units = m_decoder.decodeInto(piece.sliced(start), written);
        split(units);
        publish(units);
        while (!m_stop && !(piece = pieces.next()).isEmpty()) {
            units += m_decoder.decodeInto(piece, written + units);
            split(units);
            publish(units);
        }
        const std::lock_guard lock(m_mutex);
        // Where the caller takes up the rest, the decoder goes on with it.
        if (m_resumeAt == to) {
            QString rest;
            m_decoder.finish(rest);
            std::memcpy(written + units, rest.constData(), size_t(rest.size()) * sizeof(char16_t));
            units += rest.size();
            split(units);
        }
        m_ready = units;
        m_error = pieces.errorString();
    } catch (const std::bad_alloc &) {
        const std::lock_guard lock(m_mutex);
        m_outOfMemory = std::current_exception();
    }
    reach(Stage::Done);
}
