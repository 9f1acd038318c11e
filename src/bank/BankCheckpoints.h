#pragma once

#include "cipher/KeystreamCheckpoints.h"

// The states of the bank key's keystream every mebibyte, for the first 512
// MiB: 132 KB of states. Made at build time by MakeBankCheckpoints, which
// runs MRC4 itself, so the table cannot drift from the cipher. A bank beyond
// the last state is deciphered from there on in one stream.
namespace BankCheckpoints {

inline constexpr qint64 Spacing = qint64(1) << 20;
inline constexpr int Count = 512;

const KeystreamCheckpoints &table();

} // namespace BankCheckpoints
