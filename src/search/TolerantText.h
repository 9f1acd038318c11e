#pragma once

#include <QString>
#include <QStringView>

// The text a tolerant search compares, so that what OCR misreads around the
// words (blanks, "?" for "？", full-width digits, case) does not count: the
// text in NFKC, case-folded, with letters and digits only.
QString tolerantText(QStringView text);

// Replaces `out` with tolerantText(text), keeping its storage.
void tolerantTextInto(QStringView text, QString &out);

// The length of the longest common subsequence of a and b ÷ the longer
// length: 1 for equal texts, 0 when they share nothing (or both are empty).
double commonSubsequenceRatio(QStringView a, QStringView b);
