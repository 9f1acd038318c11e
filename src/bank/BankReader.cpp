#include "bank/BankReader.h"

#include "bank/BankFile.h"
#include "cipher/MRC4.h"
#include "text/AnsiDecoder.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

struct FailureText
{
    const char16_t *chinese;
    const char16_t *english;
};

// One row a failure: %1 is the path, %2 the cause or the size.
constexpr FailureText FailureTexts[] = {
    {u"无法解读题库文件“%1”：此 Qt 没有 GBK（代码页 936）转换器。", u"%1: cannot decode: this Qt build has no GBK (code page 936) converter"},
    {u"找不到题库文件“%1”。", u"%1: no such file"},
    {u"题库文件“%1”是一个文件夹，不是文件。", u"%1: is a folder, not a file"},
    {u"无法读取题库文件“%1”：%2", u"%1: cannot read: %2"},
    {u"题库文件“%1”太大（%2 字节），无法载入。", u"%1: too large to load (%2 bytes; a bank holds at most 2147483647)"},
    {u"读取题库文件“%1”时出错：%2", u"%1: read error: %2"},
    {u"题库文件“%1”是空的（0 字节）。", u"%1: empty (0 bytes)"},
};

// Small enough that a piece and its text stay in the cache from reading to splitting.
constexpr qint64 PieceBytes = qint64(1) << 15;

std::span<std::uint8_t> bytesOf(QByteArray &buffer, qint64 size)
{
    return {reinterpret_cast<std::uint8_t *>(buffer.data()), size_t(size)};
}

} // namespace

BankReader::BankReader(Language language)
    : m_language(language)
{
}

bool BankReader::fail(Failure failure, const QString &path, const QString &cause)
{
    const FailureText &text = FailureTexts[int(failure)];
    const QString pattern = QString::fromUtf16(m_language == Language::Chinese ? text.chinese : text.english);
    const QString shownPath = QDir::toNativeSeparators(path);
    m_error = pattern.contains(QLatin1String("%2")) ? pattern.arg(shownPath, cause) : pattern.arg(shownPath);
    return false;
}

bool BankReader::checkCodePage(const QString &path)
{
    return CodePage::gbkAvailable() || fail(Failure::NoCodePage, path);
}

// A missing, unreadable or too large file is refused before anything is read.
bool BankReader::openBank(const QString &path, QFile &file)
{
    m_error.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return fail(Failure::Missing, path);
    if (info.isDir())
        return fail(Failure::Folder, path);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Failure::CannotOpen, path, file.errorString());
    if (file.size() > std::numeric_limits<std::int32_t>::max())
        return fail(Failure::TooLarge, path, QString::number(file.size()));
    return true;
}

bool BankReader::readFileBytes(const QString &path, QByteArray &bytes)
{
    QFile file;
    if (!openBank(path, file))
        return false;
    QByteArray read = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(Failure::ReadFailed, path, file.errorString());
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

// The file is read piece by piece, and each piece is deciphered, decoded and
// split while it is in the cache; the cipher runs on where the last piece
// stopped. The whole file is never held as bytes.
bool BankReader::readQuestionLines(const QString &path, QuestionLines &lines)
{
    QFile file;
    if (!openBank(path, file) || !checkCodePage(path))
        return false;
    // Every byte decodes to one code unit at most, one more for the decoder's carry.
    QuestionLines::Builder builder(file.size() + 1);
    CodePage::AnsiDecoder decoder;
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    while (const qint64 read = file.read(piece.data(), PieceBytes)) {
        if (read < 0)
            return fail(Failure::ReadFailed, path, file.errorString());
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
