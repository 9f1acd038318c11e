#pragma once

#include "bank/QuestionLines.h"

#include <QByteArray>
#include <QString>

// The banks the benchmarks share, made once per size: an enciphered bank
// file in the build's bench/banks folder (kept between runs), its bytes, and
// its loaded lines.
struct BenchBank
{
    QString path;
    QByteArray enciphered;
    QuestionLines lines;
};

const BenchBank &benchBank(int pairs);
