#pragma once

#include "cipher/KeystreamCheckpoints.h"
#include "cipher/Rc4Streams.h"
#include "platform/Platform.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QFile;

// Reads a stretch of a bank file and deciphers it, giving it in pieces in the
// file's order. The keystream is taken up at the checkpoints of the bank
// key, so the segments between checkpoints are deciphered several at a time
// in one loop (Rc4Streams); past the last checkpoint the last stream goes on
// alone. The file is read from its offsets, never from its position, so
// that two threads may each read a stretch of one open file.
class CipheredPieces
{
public:
    // The most the caller gets at once: small enough to stay in the cache
    // while it is decoded and split.
    static constexpr qint64 PieceBytes = qint64(1) << 15;
    // Segments deciphered together.
    static constexpr int Streams = 2;

    // The bytes of `file` from `from`, a checkpoint's offset, up to `to`.
    CipheredPieces(QFile &file, qint64 from, qint64 to, const KeystreamCheckpoints &checkpoints);

    CipheredPieces(const CipheredPieces &) = delete;
    CipheredPieces &operator=(const CipheredPieces &) = delete;

    // The next deciphered piece, valid until the next call; empty at the end
    // of the stretch or of the file, or once reading failed.
    QByteArrayView next();
    // Why reading failed; empty when it did not.
    QString errorString() const { return m_error; }
    // Asked before each group that begins at a checkpoint is read, with its
    // offset; false ends the stretch there, so that another reader may take
    // up the rest from that checkpoint.
    void setClaim(std::function<bool(qint64 groupStart)> claim) { m_claim = std::move(claim); }

private:
    qint64 segmentBytes() const { return m_checkpoints.spacing(); }
    int groupSize(int segment) const;
    bool claimGroup();
    bool readGroup();
    void startStreams(int segment, int count);

    QFile &m_file;
    const KeystreamCheckpoints &m_checkpoints;
    qint64 m_to;
    qint64 m_groupStart;  // file offset of the group in the buffer
    qint64 m_groupBytes = 0; // read and deciphered
    qint64 m_taken = 0;      // of those, handed out
    bool m_failed = false;
    QString m_error;
    std::function<bool(qint64)> m_claim;
    std::vector<Rc4Streams::Stream> m_streams;
    Platform::PageBuffer m_group;
};
