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

namespace BankCommands {

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
    } else {
        BankFile::cipherInMemory(bytes);
        text = BankText::fromBank(QuestionLines::fromPlainBank(bytes));
    }
    return true;
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
