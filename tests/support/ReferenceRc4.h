#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <utility>

// A textbook RC4, independent of the program's table-driven cipher.
inline QByteArray referenceRc4(const QByteArray &key, QByteArray data)
{
    std::array<std::uint8_t, 256> s{};
    for (int n = 0; n < 256; ++n)
        s[n] = std::uint8_t(n);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + std::uint8_t(key[i % key.size()])) % 256;
        std::swap(s[i], s[j]);
    }
    int i = 0, j = 0;
    for (char &byte : data) {
        i = (i + 1) % 256;
        j = (j + s[i]) % 256;
        std::swap(s[i], s[j]);
        byte = char(std::uint8_t(byte) ^ s[(s[i] + s[j]) % 256]);
    }
    return data;
}
