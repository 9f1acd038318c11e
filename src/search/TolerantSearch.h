#pragma once

#include "bank/QuestionLines.h"
#include "search/BigramIndex.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// A search that forgives what OCR gets wrong: the questions of the bank
// closest to a text read off the screen, best first. Bigrams pick the
// candidates (Dice), and the best of them are ranked by their longest common
// subsequence with the text ÷ the longer of the two.
struct TolerantResult
{
    QStringList Questions; // as lQ shows them: the question line before its first "-"
    QStringList Answers;
    QList<double> Scores;  // 0 to 1, best first
    bool Sure = false;     // the best question scores at least SureScore

    bool isEmpty() const { return Questions.isEmpty(); }
};

// The candidates by Dice score that are ranked again, and listed.
inline constexpr int TolerantPool = 20;
// Below this the best question may well be missing from the bank: the
// candidates are still listed, with their questions, but not as the answer.
inline constexpr double SureScore = 0.6;

TolerantResult RankQuestions(const QuestionLines &lines, const BigramIndex &index, QStringView text);
