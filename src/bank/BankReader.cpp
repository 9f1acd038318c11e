#include "bank/BankReader.h"

#include "bank/BankCheckpoints.h"
#include "bank/BankFile.h"
#include "bank/CipheredPieces.h"
#include "bank/InputFile.h"
#include "bank/TailLoad.h"
#include "text/AnsiDecoder.h"
#include "text/CodePage.h"

#include <QFile>

#include <new>
#include <optional>

BankReader::BankReader() : m_checkpoints(&BankCheckpoints::table()) {}

bool BankReader::fail(Failure failure, const QString &path, const QString &systemText)
{
    m_failure = BankFailure{};
    m_failure.kind = failure;
    m_failure.path = path;
    m_failure.systemText = systemText;
    return false;
}

bool BankReader::failWithSize(Failure failure, const QString &path, qint64 size)
{
    fail(failure, path);
    m_failure.size = size;
    return false;
}

bool BankReader::checkCodePage(const QString &path)
{
    return CodePage::gbkAvailable() || fail(Failure::NoCodePage, path);
}

bool BankReader::openBank(const QString &path, QFile &file)
{
    return InputFile::open(path, file, m_size, m_failure);
}

bool BankReader::readFileBytes(const QString &path, QByteArray &bytes)
{
    QByteArray read;
    if (!InputFile::readWhole(path, read, m_failure))
        return false;
    if (read.isEmpty())
        return fail(Failure::Empty, path);
    bytes = std::move(read);
    return true;
}

bool BankReader::readPlainBytes(const QString &path, QByteArray &plain)
{
    if (!readFileBytes(path, plain))
        return false;
    BankFile::cipherInMemory(plain);
    return true;
}

bool BankReader::readQuestionLines(const QString &path, QuestionLines &lines)
{
    QFile file;
    if (!openBank(path, file) || !checkCodePage(path))
        return false;
    try {
        return readLines(file, path, lines);
    } catch (const std::bad_alloc &) {
        return failWithSize(Failure::OutOfMemory, path, m_size);
    }
}

// Where the second thread's stretch begins: at the checkpoint nearest 46 %
// of the bank, for this thread moves the other's text besides, among those
// that leave this thread whole groups of segments to decipher together (a
// segment alone deciphers at a third of the speed); 0 for a bank of less
// than two segments, which one thread loads. It begins at a checkpoint,
// never past the last.
qint64 BankReader::tailStart() const
{
    constexpr qint64 HeadPercent = 46;
    constexpr qint64 Group = CipheredPieces::Streams;
    const qint64 spacing = m_checkpoints->spacing();
    if (m_size < 2 * spacing || m_checkpoints->count() < 2)
        return 0;
    const qint64 head = (m_size * HeadPercent / 100 + Group * spacing / 2) / (Group * spacing) * Group;
    return qBound(qint64(1), head, qint64(m_checkpoints->count() - 1)) * spacing;
}

// Decodes and splits the stretch piece by piece as it is deciphered, each
// piece still in the cache.
bool BankReader::decodeStretch(QFile &file, qint64 from, qint64 to, CodePage::AnsiDecoder &decoder,
                               QuestionLines::Builder &builder, qint64 &total, QString &error)
{
    CipheredPieces pieces(file, from, to, *m_checkpoints);
    for (QByteArrayView piece = pieces.next(); !piece.isEmpty(); piece = pieces.next()) {
        decoder.decode(piece, builder.text());
        builder.splitAppended();
        total += piece.size();
    }
    error = pieces.errorString();
    return error.isEmpty();
}

// The first stretch is loaded here while a second thread loads the last
// (TailLoad) into the same text, further on; its text is moved down behind
// this one's as it comes. What the thread has not begun by the time this
// one has nothing left to move, this one takes back and loads behind it with
// the thread's decoder. Where no thread may start, or the last stretch offers no
// place to begin decoding near its start, this thread loads it all. The
// whole file is never held as bytes.
bool BankReader::readLines(QFile &file, const QString &path, QuestionLines &lines)
{
    // Every byte decodes to one code unit at most, one more for the decoder's
    // carry; and room for the second thread's margin.
    QuestionLines::Builder builder(m_size + 3);
    const qint64 tailFrom = tailStart();
    std::optional<TailLoad> tail;
    if (tailFrom > 0) {
        char16_t *const room = reinterpret_cast<char16_t *>(builder.text().data());
        if (!tail.emplace(file, tailFrom, m_size, *m_checkpoints, room, m_secondThreadGroups).started())
            tail.reset();
    }
    CodePage::AnsiDecoder decoder;
    qint64 total = 0;
    QString error;
    if (!decodeStretch(file, 0, tail ? tailFrom : m_size, decoder, builder, total, error))
        return fail(Failure::ReadFailed, path, error);
    // A thread that has begun nothing is left to end on its own.
    const bool tailBegun = tail && !tail->takeBackWhole();
    if (QByteArray leadIn; tailBegun && tail->waitForStart(leadIn)) {
        decoder.decode(leadIn, builder.text());
        total += leadIn.size();
    } else if (tail) {
        if (tailBegun)
            tail.reset();
        if (!decodeStretch(file, tailFrom, m_size, decoder, builder, total, error))
            return fail(Failure::ReadFailed, path, error);
    }
    if (total == 0)
        return fail(Failure::Empty, path);
    decoder.finish(builder.text());
    if (tail && tailBegun && !appendTail(file, *tail, builder, total, error))
        return fail(Failure::ReadFailed, path, error);
    lines = builder.finish();
    return true;
}

// The second thread's text behind this one's, then the groups taken back from it.
bool BankReader::appendTail(QFile &file, TailLoad &tail, QuestionLines::Builder &builder, qint64 &total, QString &error)
{
    QString &text = builder.text();
    const qsizetype units = tail.moveText(reinterpret_cast<char16_t *>(text.data()) + text.size(), error);
    if (units < 0)
        return false;
    builder.appendWritten(units, tail.lineStarts());
    if (tail.resumeAt() >= m_size)
        return true;
    if (!decodeStretch(file, tail.resumeAt(), m_size, tail.decoder(), builder, total, error))
        return false;
    tail.decoder().finish(builder.text());
    return true;
}
