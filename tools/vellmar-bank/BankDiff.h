#pragma once

#include "BankText.h"

#include <QList>
#include <QString>

// What changed between two versions of a bank, for the release notes: pairs
// are matched by their question as players see it (the text before "-").
struct BankDiff
{
    struct Pair
    {
        QString question;
        QString answer;
        qsizetype line = 0; // of the question, 1-based
    };
    struct Change
    {
        QString question;
        QString oldAnswer;
        QString newAnswer;
        qsizetype oldLine = 0;
        qsizetype newLine = 0;
    };

    QList<Pair> added;    // in the new bank's order
    QList<Pair> removed;  // in the old bank's order
    QList<Change> changed; // in the new bank's order

    bool isEmpty() const { return added.isEmpty() && removed.isEmpty() && changed.isEmpty(); }

    static BankDiff between(const BankText &older, const BankText &newer);
};
