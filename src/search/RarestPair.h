#pragma once

#include "text/UnitPairScan.h"

#include <QStringView>

// The needle's rarest pair of neighbouring code units, judged by how often
// each pair stands in samples spread over the text. The search looks for that
// pair, so that it stops as seldom as it can. Of pairs seen equally often the
// first counts; a needle has two units at least.
struct RarestPair
{
    qsizetype offset = 0; // where the pair starts in the needle
    // The pair's rarer unit in the samples, which the scan tests blocks for first.
    UnitPairScan::Lead lead = UnitPairScan::Lead::First;
};

RarestPair rarestPair(QStringView text, QStringView needle);
