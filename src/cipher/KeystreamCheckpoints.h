#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// RC4's state between two bytes: the permutation and the two indices.
struct Rc4State
{
    std::array<std::uint8_t, 256> box;
    std::uint8_t i;
    std::uint8_t j;
};

// The states of one key's keystream at every multiple of a spacing. The
// keystream never depends on the data, so deciphering can start at any of
// these offsets without running the stream from its start.
class KeystreamCheckpoints
{
public:
    KeystreamCheckpoints(qint64 spacing, std::span<const Rc4State> states) : m_spacing(spacing), m_states(states) {}

    // The states at 0, spacing, ..., (count - 1) × spacing into the keystream
    // of `key`, from MRC4 itself: its process-wide state is left after the last.
    static std::vector<Rc4State> compute(const QString &key, qint64 spacing, int count);

    qint64 spacing() const { return m_spacing; }
    int count() const { return int(m_states.size()); }
    // The state `index` × spacing() bytes into the keystream.
    const Rc4State &at(int index) const { return m_states[size_t(index)]; }

private:
    qint64 m_spacing;
    std::span<const Rc4State> m_states;
};
