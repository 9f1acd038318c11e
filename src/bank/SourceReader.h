#pragma once

#include "bank/BankFailure.h"

#include <QByteArray>
#include <QString>

// Reads an input of the bank tool that is not a bank, such as a bank's
// source or a readings file: whole, as it is on disk, with the checks a bank
// gets (see InputFile), except that an empty file is read as empty.
class SourceReader
{
public:
    bool read(const QString &path, QByteArray &bytes);

    const BankFailure &failure() const { return m_failure; }

private:
    BankFailure m_failure;
};
