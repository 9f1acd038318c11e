#pragma once

#include "bank/BankFailure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Writes the bank tool's outputs through OutputFile: a temporary file beside
// the output, renamed into place, so that an interruption leaves the old file
// or the new one; "-" is standard output. A failure is kept as a value,
// failure(), for the program to word.
class BankWriter
{
public:
    // Enciphers plain bank text and writes it as a bank; a bank beyond
    // BankFile::MaxBytes is refused before anything is written.
    bool writeBank(const QString &path, QByteArray plain);
    // Writes bytes as they are: a plain bank, a source.
    bool writePlain(const QString &path, QByteArrayView bytes);

    const BankFailure &failure() const { return m_failure; }

private:
    BankFailure m_failure;
};
