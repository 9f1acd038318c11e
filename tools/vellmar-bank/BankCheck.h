#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What `vellmar-bank check` finds in a deciphered bank.
struct BankReport
{
    qsizetype lineCount = 0;
    qsizetype pairCount = 0;
    // 1-based number of a non-empty last line that no answer follows, 0 when none.
    qsizetype unpairedLine = 0;
    QList<qsizetype> questionsWithoutDash; // 1-based line numbers
    QList<qsizetype> undecodableLines;     // 1-based line numbers

    bool hasProblems() const;
    QString toText() const;
};

// Examines plain (deciphered) bank bytes, line by line as the load splits them.
BankReport checkPlainBank(const QByteArray &plain);
