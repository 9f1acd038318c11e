#pragma once

#include "bank/BankFailure.h"
#include "bank/QuestionLines.h"
#include "cipher/KeystreamCheckpoints.h"

#include <QByteArray>
#include <QString>

#include <limits>

namespace CodePage {
class AnsiDecoder;
}

// Reads a bank file: the file's bytes, deciphered, decoded from GBK and split
// into question lines. It never writes the file. A failure is kept as a
// value, failure(), for the program to word.
//
// Only a regular file of at most BankFile::MaxBytes is read (see InputFile);
// anything else (a folder, a FIFO, a device, a link to one, a link loop, a
// file too large for the bank's signed 32-bit length) is refused by what it
// is, before a byte is read or any memory is taken for it. Running out of
// memory while reading is a failure like any other, and so is an empty file.
class BankReader
{
public:
    // Deciphers from the bank key's checkpoints made at build time.
    BankReader();
    // From these checkpoints of the bank key's keystream instead.
    explicit BankReader(const KeystreamCheckpoints &checkpoints) : m_checkpoints(&checkpoints) {}

    // The whole load: read, decipher, decode, split.
    bool readQuestionLines(const QString &path, QuestionLines &lines);
    // The deciphered bytes, as the load would decode them.
    bool readPlainBytes(const QString &path, QByteArray &plain);
    // The file's bytes as they are on disk.
    bool readFileBytes(const QString &path, QByteArray &bytes);

    // The second thread begins at most `groups` groups of segments and this
    // one takes back the rest, whatever the timing; for tests of the seams.
    void limitSecondThread(int groups) { m_secondThreadGroups = groups; }

    bool hasError() const { return bool(m_failure); }
    const BankFailure &failure() const { return m_failure; }

private:
    using Failure = BankFailure::Kind;

    bool fail(Failure failure, const QString &path, const QString &systemText = {});
    bool failWithSize(Failure failure, const QString &path, qint64 size);
    bool checkCodePage(const QString &path);
    bool openBank(const QString &path, class QFile &file);
    bool readLines(QFile &file, const QString &path, QuestionLines &lines);
    qint64 tailStart() const;
    bool decodeStretch(QFile &file, qint64 from, qint64 to, CodePage::AnsiDecoder &decoder,
                       QuestionLines::Builder &builder, qint64 &total, QString &error);
    bool appendTail(QFile &file, class TailLoad &tail, QuestionLines::Builder &builder, qint64 &total, QString &error);

    const KeystreamCheckpoints *m_checkpoints;
    BankFailure m_failure;
    qint64 m_size = 0; // of the file openBank opened
    int m_secondThreadGroups = std::numeric_limits<int>::max();
};
