#include "bank/BankFile.h"

#include "cipher/MRC4.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

namespace BankFile {
namespace {

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

std::span<std::uint8_t> bytesOf(QByteArray &buffer)
{
    return {reinterpret_cast<std::uint8_t *>(buffer.data()), size_t(buffer.size())};
}

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Opens the bank for reading; a missing, unreadable or too large file is an
// error that names the path and the cause.
bool openBankFile(const QString &path, QFile &file, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        setError(error, QStringLiteral("找不到题库文件“%1”。").arg(displayPath(path)));
        return false;
    }
    if (info.isDir()) {
        setError(error, QStringLiteral("题库文件“%1”是一个文件夹，不是文件。").arg(displayPath(path)));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法读取题库文件“%1”：%2").arg(displayPath(path), file.errorString()));
        return false;
    }
    if (file.size() > std::numeric_limits<std::int32_t>::max()) {
        setError(error, QStringLiteral("题库文件“%1”太大（%2 字节），无法载入。").arg(displayPath(path)).arg(file.size()));
        return false;
    }
    return true;
}

void setReadError(QString *error, const QString &path, const QFile &file)
{
    setError(error, QStringLiteral("读取题库文件“%1”时出错：%2").arg(displayPath(path), file.errorString()));
}

void setEmptyError(QString *error, const QString &path)
{
    setError(error, QStringLiteral("题库文件“%1”是空的（0 字节）。").arg(displayPath(path)));
}

// Small enough that a piece and its text stay in the cache from reading to splitting.
constexpr qint64 PieceBytes = qint64(1) << 15;

// Reads the open bank piece by piece, and deciphers, decodes and splits each
// piece while it is in the cache; the cipher runs on where the last piece
// stopped. The whole file is never held as bytes.
bool readLinesInPieces(QFile &file, const QString &path, CodePage::AnsiDecoder &decoder,
                       QuestionLines::Builder &builder, QString *error)
{
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 read = file.read(piece.data(), PieceBytes);
        if (read < 0) {
            setReadError(error, path, file);
            return false;
        }
        if (read == 0)
            break;
        MRC4::CryptBytes(bytesOf(piece).first(size_t(read)), total == 0 ? BankKey : QString());
        total += read;
        decoder.decode(QByteArrayView(piece.constData(), read), builder.text());
        builder.splitAppended();
    }
    if (total == 0) {
        setEmptyError(error, path);
        return false;
    }
    return true;
}

} // namespace

QString DataPath(const QString &programFolder)
{
    return programFolder + QLatin1Char('/') + QStringLiteral("data.dat");
}

bool readDataBytes(const QString &path, QByteArray &DataBytes, QString *error)
{
    QFile file(path);
    if (!openBankFile(path, file, error))
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setReadError(error, path, file);
        return false;
    }
    if (bytes.isEmpty()) {
        setEmptyError(error, path);
        return false;
    }
    DataBytes = std::move(bytes);
    return true;
}

bool loadQuestionLines(const QString &path, QuestionLines &lines, QString *error)
{
    QFile file(path);
    if (!openBankFile(path, file, error))
        return false;
    // Every byte decodes to one code unit at most, one more for the decoder's carry.
    QuestionLines::Builder builder(file.size() + 1);
    CodePage::AnsiDecoder decoder;
    if (!readLinesInPieces(file, path, decoder, builder, error))
        return false;
    decoder.finish(builder.text());
    lines = builder.finish();
    return true;
}

void cipherInMemory(QByteArray &bytes)
{
    MRC4::CryptBytes(bytesOf(bytes), BankKey);
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    setError(error, QStringLiteral("无法写入文件“%1”：%2").arg(displayPath(path), file.errorString()));
    return false;
}

bool JIAMSJXX(const QString &path, QString *error)
{
    QByteArray DataBytes;
    if (!readDataBytes(path, DataBytes, error))
        return false;
    cipherInMemory(DataBytes);
    return writeWhole(path, DataBytes, error);
}

} // namespace BankFile
