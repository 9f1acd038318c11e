#include "bank/CipheredPieces.h"

#include "platform/FileSystem.h"

#include <QFile>

#include <span>
#include <stdexcept>

CipheredPieces::CipheredPieces(QFile &file, qint64 from, qint64 to, const KeystreamCheckpoints &checkpoints)
    : m_file(file),
      m_checkpoints(checkpoints),
      m_to(to),
      m_groupStart(from),
      m_group(size_t(qMax(qint64(0), qMin(Streams * checkpoints.spacing(), to - from))))
{
    m_streams.reserve(Streams);
}

QByteArrayView CipheredPieces::next()
{
    if (m_taken == m_groupBytes) {
        m_groupStart += m_groupBytes;
        m_groupBytes = 0;
        m_taken = 0;
        if (m_failed || m_groupStart >= m_to || !claimGroup() || !readGroup())
            return {};
    }
    const qint64 length = qMin(PieceBytes, m_groupBytes - m_taken);
    const QByteArrayView piece(m_group.data() + m_taken, length);
    m_taken += length;
    return piece;
}

// Past the last checkpoint no one else could take the stream up.
bool CipheredPieces::claimGroup()
{
    return !m_claim || m_groupStart / segmentBytes() >= m_checkpoints.count() || m_claim(m_groupStart);
}

// Segments that each begin at a checkpoint; past the last one, one at a time.
int CipheredPieces::groupSize(int segment) const
{
    const int segmentsLeft = int((m_to - m_groupStart + segmentBytes() - 1) / segmentBytes());
    if (segment >= m_checkpoints.count())
        return 1;
    return qMin(Streams, qMin(m_checkpoints.count() - segment, segmentsLeft));
}

void CipheredPieces::startStreams(int segment, int count)
{
    if (segment >= m_checkpoints.count()) {
        if (m_streams.empty()) // the stretch begins past the checkpoints: run up to it
            throw std::logic_error("a stretch must begin at a checkpoint");
        m_streams.erase(m_streams.begin(), m_streams.end() - 1);
        return;
    }
    m_streams.clear();
    for (int n = 0; n < count; ++n)
        m_streams.emplace_back(m_checkpoints.at(segment + n));
}

// Reads the next group whole, then deciphers its segments together. An early
// end of the file ends the stretch there.
bool CipheredPieces::readGroup()
{
    const int segment = int(m_groupStart / segmentBytes());
    const int count = groupSize(segment);
    const qint64 wanted = qMin(count * segmentBytes(), m_to - m_groupStart);
    int errorNumber = 0;
    const qint64 read = FileSystem::readAt(m_file, m_group.data(), wanted, m_groupStart, errorNumber);
    if (read < 0) {
        m_error = FileSystem::errorText(errorNumber);
        m_failed = true;
        return false;
    }
    m_failed = read < wanted;
    m_groupBytes = read;
    startStreams(segment, count);
    std::array<Rc4Streams::Piece, Streams> pieces;
    for (int n = 0; n < count; ++n) {
        const qint64 at = n * segmentBytes();
        const qint64 length = qBound(qint64(0), read - at, segmentBytes());
        auto *bytes = reinterpret_cast<std::uint8_t *>(m_group.data() + at);
        pieces[size_t(n)] = {&m_streams[size_t(n)], std::span<std::uint8_t>(bytes, size_t(length))};
    }
    Rc4Streams::crypt(std::span(pieces.data(), size_t(count)));
    return read > 0;
}
