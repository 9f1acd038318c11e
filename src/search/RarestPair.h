#pragma once

#include <QStringView>

// Where in the needle its rarest pair of neighbouring code units starts,
// judged by how often each pair stands in samples spread over the text. The
// search looks for that pair, so that it stops as seldom as it can. Of pairs
// seen equally often the first counts; a needle has two units at least.
qsizetype rarestPairOffset(QStringView text, QStringView needle);
