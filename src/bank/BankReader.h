#pragma once

#include "bank/QuestionLines.h"

#include <QByteArray>
#include <QString>

// Reads a bank file: the file's bytes, deciphered, decoded from GBK and split
// into question lines. It never writes the file. A failure is reported
// through errorString(), which names the path and the cause in the language
// of the program that reads: Chinese for the window, English for the tool.
class BankReader
{
public:
    enum class Language { Chinese, English };

    explicit BankReader(Language language = Language::Chinese);

    // The whole load: read, decipher, decode, split.
    bool readQuestionLines(const QString &path, QuestionLines &lines);
    // The deciphered bytes, as the load would decode them.
    bool readPlainBytes(const QString &path, QByteArray &plain);
    // The file's bytes as they are on disk.
    bool readFileBytes(const QString &path, QByteArray &bytes);

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }

private:
    enum class Failure { NoCodePage, Missing, Folder, CannotOpen, TooLarge, ReadFailed, Empty };

    bool fail(Failure failure, const QString &path, const QString &cause = {});
    bool checkCodePage(const QString &path);
    bool openBank(const QString &path, class QFile &file);

    Language m_language;
    QString m_error;
};
