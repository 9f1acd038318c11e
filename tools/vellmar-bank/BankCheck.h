#pragma once

#include "bank/QuestionLines.h"

#include <QList>
#include <QString>

// What `vellmar-bank check` finds in a deciphered bank.
struct BankReport
{
    qsizetype lineCount = 0;
    qsizetype pairCount = 0;
    // 1-based number of a non-empty last line that no answer follows, 0 when none.
    qsizetype unpairedLine = 0;
    QList<qsizetype> questionsWithoutDash; // 1-based line numbers; a warning only
    QList<qsizetype> undecodableLines;     // 1-based line numbers

    // A line without a partner or bytes that are not GBK: the bank's shape is broken.
    bool hasProblems() const;
    QString toText() const;
};

// Examines a bank's lines, as the window loaded them.
BankReport checkBank(const QuestionLines &lines);
