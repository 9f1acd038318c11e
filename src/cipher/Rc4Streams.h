#pragma once

#include "cipher/KeystreamCheckpoints.h"

#include <array>
#include <cstdint>
#include <span>

// RC4 run from several states at once. One stream waits, byte after byte, on
// loads from its own box; a few independent streams in one loop fill those
// waits, so together they cost little more than one alone.
namespace Rc4Streams {

// More streams than this gain nothing: the loads of all of them then fill the core.
inline constexpr int MaxStreams = 4;

// One stream's state, its box widened to 32-bit entries: byte entries would
// make every exchange wait on the one before.
struct Stream
{
    explicit Stream(const Rc4State &state);

    std::array<std::uint32_t, 256> box;
    std::uint32_t i;
    std::uint32_t j;
};

// Bytes to encipher or decipher with one stream's next keystream bytes.
struct Piece
{
    Stream *stream;
    std::span<std::uint8_t> bytes;
};

// Enciphers or deciphers each piece in place with its stream, which moves on
// past it. At most MaxStreams pieces, each of a different stream.
void crypt(std::span<const Piece> pieces);

} // namespace Rc4Streams
