#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>

// RC4 stream cipher under a text key. Enciphering and deciphering are the same
// operation. The state is process-wide: a call with an empty key continues the
// keystream where the previous call stopped. Calls must not overlap.
namespace MRC4 {

// A key that cannot be scheduled. The buffer of the failed call is untouched.
class KeyError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The cipher's process-wide state, zero at process start.
struct CipherState
{
    std::int16_t i = 0;
    std::int16_t j = 0;
    std::array<std::uint8_t, 256> KeyBox{};
    // AddTable[y][x] == (x + y) mod 256; the key schedule's additions are lookups here.
    std::array<std::array<std::uint8_t, 256>, 256> AddTable{};
    std::array<std::uint8_t, 256> SBox{};
    bool TableBuilt = false;
};

// Enciphers or deciphers `buffer` in place. A non-empty key (blanks count)
// schedules afresh; each key character must be a single byte in the GBK code
// page. Throws KeyError for a key of more than 32,512 characters or with a
// double-byte character.
void CryptBytes(std::span<std::uint8_t> buffer, const QString &key);

// Read-only view of the state, for inspection.
const CipherState &State();

} // namespace MRC4
