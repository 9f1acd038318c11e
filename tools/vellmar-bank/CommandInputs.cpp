#include "CommandInputs.h"

#include "BankText.h"
#include "CommandOutput.h"
#include "FailureText.h"
#include "ReadingOverrides.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "bank/BankWriter.h"
#include "bank/SourceReader.h"
#include "platform/FileSystem.h"

#include "bank/InputFile.h"
#include "text/CodePage.h"

#include <QFile>

#include <algorithm>

namespace BankCommands {
namespace {

// Enough of a file to tell a source from a bank.
constexpr qint64 PrefixBytes = 64 * 1024;

bool isControlByte(char byte)
{
    const auto unit = static_cast<unsigned char>(byte);
    return (unit < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || unit == 0x7F;
}

// A byte-order mark of UTF-16, or ASCII text with a zero byte beside each character.
bool looksLikeUtf16(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    const QByteArray start = bytes.first(std::min<qsizetype>(bytes.size(), 256));
    const qsizetype zeros = start.count('\0');
    return start.size() >= 4 && zeros * 2 >= start.size() - 1;
}

// GBK text, not enciphered: an enciphered bank is never free of control bytes.
bool looksLikeGbkText(const QByteArray &bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), isControlByte) && CodePage::isValidAnsi(bytes);
}

// What lint and diff say of a text that is neither a UTF-8 source nor a bank.
QString otherText(const QString &path, const QByteArray &bytes)
{
    if (looksLikeUtf16(bytes))
        return QStringLiteral("%1: looks like UTF-16 text, not a UTF-8 source or a bank; save it as UTF-8 "
                              "(iconv -f UTF-16 -t UTF-8)")
            .arg(path);
    if (looksLikeGbkText(bytes))
        return QStringLiteral("%1: looks like GBK text, not a UTF-8 source or an enciphered bank; save a source as "
                              "UTF-8 (iconv -f GBK -t UTF-8), or encipher a plain bank first (vellmar-bank encode)")
            .arg(path);
    return {};
}

} // namespace

bool sameFile(const QString &input, const QString &output)
{
    return output != StandardStream && FileSystem::sameFile(input, output);
}

int refuseSameFile(const QString &path)
{
    return fail(QStringLiteral("%1: input and output are the same file; choose another output").arg(path));
}

bool readSource(const QString &path, QByteArray &bytes, QString &error)
{
    SourceReader reader;
    if (reader.read(path, bytes))
        return true;
    error = failureText(reader.failure());
    return false;
}

bool readBankText(const QString &path, BankText &text, QString &error)
{
    BankReader reader;
    QByteArray bytes;
    if (!reader.readFileBytes(path, bytes)) {
        error = failureText(reader.failure());
        return false;
    }
    if (BankText::isSource(bytes)) {
        text = BankText::fromSource(bytes);
    } else if (const QString other = otherText(path, bytes); !other.isEmpty()) {
        error = other;
        return false;
    } else {
        BankFile::cipherInMemory(bytes);
        text = BankText::fromBank(QuestionLines::fromPlainBank(bytes));
    }
    return true;
}

bool notASource(const QString &path)
{
    QFile file;
    qint64 size = 0;
    BankFailure failure;
    if (!InputFile::open(path, file, size, failure) || size == 0 || !BankText::isSource(file.read(PrefixBytes)))
        return true;
    printMessage(QStringLiteral("%1: looks like a UTF-8 source, not an enciphered bank; build it into a bank first "
                                "(vellmar-bank build %1 BANK), or lint it as it is")
                     .arg(path));
    return false;
}

bool readBank(const QString &path, QuestionLines &lines)
{
    if (!notASource(path))
        return false;
    BankReader reader;
    if (reader.readQuestionLines(path, lines))
        return true;
    fail(failureText(reader.failure()));
    return false;
}

bool readOverrides(const QString &path, ReadingOverrides &overrides, QString &error)
{
    if (path.isEmpty())
        return true;
    QByteArray bytes;
    return readSource(path, bytes, error) && ReadingOverrides::parse(bytes, path, overrides, error);
}

int convertBank(const QString &input, const QString &output, const Conversion &convert)
{
    if (sameFile(input, output))
        return refuseSameFile(output);
    BankReader reader;
    QByteArray plain;
    if (!reader.readPlainBytes(input, plain))
        return fail(failureText(reader.failure()));
    QByteArray converted;
    QString error;
    if (!convert(input, plain, converted, error))
        return fail(error);
    BankWriter writer;
    if (!writer.writePlain(output, converted))
        return fail(failureText(writer.failure()));
    return Ok;
}

} // namespace BankCommands
