#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Question banks for the benchmarks, made from a fixed seed so that every run
// measures the same bytes.
namespace BankGenerator {

// The plain GBK text of `pairs` question–answer pairs, every line ending in
// CR LF. A question is 8 to 28 common Chinese characters, "-", and the pinyin
// initials of those characters in lower case; an answer is 2 to 6 characters.
// The last LatePairs questions alone hold lateQuery() after their initials.
// Characters are drawn with falling frequency, as in real text: the commonest
// appear often, the rarest seldom.
QByteArray plainBank(int pairs, std::uint64_t seed);

// The enciphered bank of `pairs` pairs that every benchmark measures: the
// same bytes for the same size in every run and every program.
QByteArray benchmarkBank(int pairs);

inline constexpr int LatePairs = 20;

// A query found only in the last LatePairs question lines, whose first two
// letters stand together all through the bank.
QString lateQuery();

// The two commonest characters: a query that matches early and often.
QString commonestPair();

} // namespace BankGenerator
