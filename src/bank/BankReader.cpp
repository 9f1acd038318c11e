#include "bank/BankReader.h"

#include "bank/BankFile.h"
#include "bank/CipheredPieces.h"
#include "bank/InputFile.h"
#include "text/AnsiDecoder.h"
#include "text/CodePage.h"

#include <QFile>

#include <new>

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

// The file is read and deciphered piece by piece on a second thread, while
// this one decodes and splits each piece as it comes, still in the cache.
// The whole file is never held as bytes.
bool BankReader::readLines(QFile &file, const QString &path, QuestionLines &lines)
{
    // Every byte decodes to one code unit at most, one more for the decoder's carry.
    QuestionLines::Builder builder(m_size + 1);
    CodePage::AnsiDecoder decoder;
    CipheredPieces pieces(file, m_size);
    qint64 total = 0;
    for (QByteArrayView piece = pieces.next(); !piece.isEmpty(); piece = pieces.next()) {
        decoder.decode(piece, builder.text());
        builder.splitAppended();
        total += piece.size();
    }
    if (const QString error = pieces.errorString(); !error.isEmpty())
        return fail(Failure::ReadFailed, path, error);
    if (total == 0)
        return fail(Failure::Empty, path);
    decoder.finish(builder.text());
    lines = builder.finish();
    return true;
}
