#include "bank/BankReader.h"

#include "bank/BankFile.h"
#include "bank/InputFile.h"
#include "cipher/MRC4.h"
#include "text/AnsiDecoder.h"
#include "text/CodePage.h"

#include <QFile>

#include <new>

namespace {

// Small enough that a piece and its text stay in the cache from reading to splitting.
constexpr qint64 PieceBytes = qint64(1) << 15;

std::span<std::uint8_t> bytesOf(QByteArray &buffer, qint64 size)
{
    return {reinterpret_cast<std::uint8_t *>(buffer.data()), size_t(size)};
}

} // namespace

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

// The file is read piece by piece, and each piece is deciphered, decoded and
// split while it is in the cache; the cipher runs on where the last piece
// stopped. The whole file is never held as bytes.
bool BankReader::readLines(QFile &file, const QString &path, QuestionLines &lines)
{
    // Every byte decodes to one code unit at most, one more for the decoder's carry.
    QuestionLines::Builder builder(m_size + 1);
    CodePage::AnsiDecoder decoder;
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    while (total < m_size) {
        const qint64 read = file.read(piece.data(), qMin(PieceBytes, m_size - total));
        if (read < 0)
            return fail(Failure::ReadFailed, path, file.errorString());
        if (read == 0)
            break;
        MRC4::CryptBytes(bytesOf(piece, read), total == 0 ? BankFile::BankKey : QString());
        decoder.decode(QByteArrayView(piece.constData(), read), builder.text());
        builder.splitAppended();
        total += read;
    }
    if (total == 0)
        return fail(Failure::Empty, path);
    decoder.finish(builder.text());
    lines = builder.finish();
    return true;
}
