#include "bank/BankWriter.h"

#include "bank/BankFile.h"
#include "bank/OutputFile.h"

bool BankWriter::writeBank(const QString &path, QByteArray plain)
{
    if (plain.size() > BankFile::MaxBytes) {
        m_failure = BankFailure{};
        m_failure.kind = BankFailure::Kind::BankTooLarge;
        m_failure.path = path;
        m_failure.size = plain.size();
        return false;
    }
    BankFile::cipherInMemory(plain);
    return writePlain(path, plain);
}

bool BankWriter::writePlain(const QString &path, QByteArrayView bytes)
{
    m_failure = BankFailure{};
    return OutputFile::writeWhole(path, bytes, m_failure);
}
