#pragma once

#include "bank/QuestionLines.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>

// Reads a bank file: the file's bytes, deciphered, decoded from GBK and split
// into question lines. It never writes the file. A failure is reported
// through errorString(), which names the path and the cause in the language
// of the program that reads: Chinese for the window, English for the tool.
//
// Only a regular file of at most MaxBytes is read; anything else (a folder,
// a FIFO, a device, a link to one, a link loop, a file too large for the
// bank's signed 32-bit length) is refused by what it is, before a byte is
// read or any memory is taken for it. Running out of memory while reading is
// a failure like any other.
class BankReader
{
public:
    enum class Language { Chinese, English };

    // The largest file that is read: the bank's length is a signed 32-bit count.
    static constexpr qint64 MaxBytes = 0x7fffffff;

    explicit BankReader(Language language = Language::Chinese);

    // The whole load: read, decipher, decode, split.
    bool readQuestionLines(const QString &path, QuestionLines &lines);
    // The deciphered bytes, as the load would decode them.
    bool readPlainBytes(const QString &path, QByteArray &plain);
    // The file's bytes as they are on disk.
    bool readFileBytes(const QString &path, QByteArray &bytes);
    // Any other input read whole, such as a bank's source: the same checks,
    // but an empty file is read as empty.
    bool readSourceBytes(const QString &path, QByteArray &bytes);

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }

private:
    enum class Failure { NoCodePage, Missing, Folder, CannotOpen, TooLarge, ReadFailed, Empty, NotRegular, OutOfMemory };

    bool fail(Failure failure, const QString &path, const QString &cause = {});
    bool failWithErrno(Failure failure, const QString &path, int errorNumber);
    bool checkCodePage(const QString &path);
    bool checkKind(const QString &path, const FileSystem::Status &status);
    bool openBank(const QString &path, class QFile &file);
    bool readWhole(const QString &path, QByteArray &bytes);
    bool readLines(QFile &file, const QString &path, QuestionLines &lines);

    Language m_language;
    QString m_error;
    qint64 m_size = 0; // of the file openBank opened
};
