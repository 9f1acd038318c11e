#include "bank/BankReader.h"

#include "bank/BankFile.h"
#include "bank/CipheredPieces.h"
#include "bank/FileKindWords.h"
#include "platform/FileSystem.h"
#include "text/AnsiDecoder.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <new>

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
    {u"题库文件“%1”太大（%2 字节），无法载入：题库最多 2147483647 字节。", u"%1: too large to load (%2 bytes; the most a bank can hold is 2147483647)"},
    {u"读取题库文件“%1”时出错：%2", u"%1: read error: %2"},
    {u"题库文件“%1”是空的（0 字节）。", u"%1: empty (0 bytes)"},
    {u"题库文件“%1”不是普通文件，而是%2，无法载入。", u"%1: not a regular file but %2; only a regular file is read"},
    {u"内存不足，无法载入题库文件“%1”（%2 字节）。", u"%1: not enough memory to load it (%2 bytes)"},
};

// The window's words for the causes a user can mend; the rest in the system's words.
struct ChineseCause
{
    int errorNumber;
    const char16_t *text;
};

constexpr ChineseCause ChineseCauses[] = {
    {EACCES, u"没有读取权限"},
    {EPERM, u"操作不被允许"},
    {ELOOP, u"符号链接太多层，或者形成了循环"},
    {ENOTDIR, u"路径中有一段不是文件夹"},
    {ENAMETOOLONG, u"路径太长"},
    {EIO, u"输入输出错误"},
};

QString chineseCause(int errorNumber)
{
    for (const ChineseCause &cause : ChineseCauses) {
        if (cause.errorNumber == errorNumber)
            return QString::fromUtf16(cause.text);
    }
    return FileSystem::errorText(errorNumber);
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

bool BankReader::failWithErrno(Failure failure, const QString &path, int errorNumber)
{
    return fail(failure, path, m_language == Language::Chinese ? chineseCause(errorNumber) : FileSystem::errorText(errorNumber));
}

bool BankReader::checkCodePage(const QString &path)
{
    return CodePage::gbkAvailable() || fail(Failure::NoCodePage, path);
}

bool BankReader::checkKind(const QString &path, const FileSystem::Status &status)
{
    using FileSystem::Kind;
    switch (status.kind) {
    case Kind::Missing:
    case Kind::BrokenLink:
        return fail(Failure::Missing, path);
    case Kind::Unreachable:
        return failWithErrno(Failure::CannotOpen, path, status.errorNumber);
    case Kind::Folder:
        return fail(Failure::Folder, path);
    case Kind::Regular:
        return status.size <= MaxBytes || fail(Failure::TooLarge, path, QString::number(status.size));
    default:
        const FileKindWords kind = fileKindWords(status.kind);
        return fail(Failure::NotRegular, path, QString::fromUtf16(m_language == Language::Chinese ? kind.chinese : kind.english));
    }
}

// What the path names is looked at before it is opened, so a FIFO never
// blocks the open and a device is never opened; what was opened is looked at
// again, in case the path changed in between.
bool BankReader::openBank(const QString &path, QFile &file)
{
    m_error.clear();
    if (!checkKind(path, FileSystem::status(path)))
        return false;
    const FileSystem::Status opened = FileSystem::openForReading(path, file);
    if (!checkKind(path, opened)) {
        file.close();
        return false;
    }
    if (!file.isOpen())
        return fail(Failure::CannotOpen, path, file.errorString());
    m_size = opened.size;
    return true;
}

// Never more than the size the file had when it was opened.
bool BankReader::readWhole(const QString &path, QByteArray &bytes)
{
    QFile file;
    if (!openBank(path, file))
        return false;
    try {
        QByteArray read(m_size, Qt::Uninitialized);
        qint64 total = 0;
        while (total < m_size) {
            const qint64 got = file.read(read.data() + total, m_size - total);
            if (got < 0)
                return fail(Failure::ReadFailed, path, file.errorString());
            if (got == 0)
                break;
            total += got;
        }
        read.truncate(total);
        bytes = std::move(read);
    } catch (const std::bad_alloc &) {
        return fail(Failure::OutOfMemory, path, QString::number(m_size));
    }
    return true;
}

bool BankReader::readSourceBytes(const QString &path, QByteArray &bytes)
{
    return readWhole(path, bytes);
}

bool BankReader::readFileBytes(const QString &path, QByteArray &bytes)
{
    QByteArray read;
    if (!readWhole(path, read))
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
        return fail(Failure::OutOfMemory, path, QString::number(m_size));
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
