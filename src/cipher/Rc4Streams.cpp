#include "cipher/Rc4Streams.h"

#include <algorithm>
#include <cstring>

namespace Rc4Streams {
namespace {

// The streams' boxes and indices are copied into locals: the compiler then
// knows that the bytes written leave them alone and keeps the indices in
// registers. The streams go in step, so they share their index i.
template<int Count>
void cryptWords(const Piece *pieces, size_t words)
{
    std::uint32_t box[Count][256];
    std::uint32_t j[Count];
    for (int s = 0; s < Count; ++s) {
        std::copy(pieces[s].stream->box.begin(), pieces[s].stream->box.end(), box[s]);
        j[s] = pieces[s].stream->j;
    }
    std::uint32_t i = pieces[0].stream->i;
    for (size_t word = 0; word < words; ++word) {
        std::uint64_t keys[Count] = {};
        for (int shift = 0; shift < 64; shift += 8) {
            i = (i + 1) & 0xff;
            for (int s = 0; s < Count; ++s) {
                const std::uint32_t si = box[s][i];
                j[s] = (j[s] + si) & 0xff;
                const std::uint32_t sj = box[s][j[s]];
                box[s][i] = sj;
                box[s][j[s]] = si;
                keys[s] |= std::uint64_t(box[s][(si + sj) & 0xff]) << shift;
            }
        }
        for (int s = 0; s < Count; ++s) {
            std::uint8_t *const bytes = pieces[s].bytes.data() + word * 8;
            std::uint64_t data;
            std::memcpy(&data, bytes, sizeof data);
            data ^= keys[s];
            std::memcpy(bytes, &data, sizeof data);
        }
    }
    for (int s = 0; s < Count; ++s) {
        std::copy(box[s], box[s] + 256, pieces[s].stream->box.begin());
        pieces[s].stream->i = i;
        pieces[s].stream->j = j[s];
    }
}

void cryptWordsTogether(const Piece *pieces, size_t count, size_t words)
{
    switch (count) {
    case 1:
        return cryptWords<1>(pieces, words);
    case 2:
        return cryptWords<2>(pieces, words);
    case 3:
        return cryptWords<3>(pieces, words);
    default:
        return cryptWords<4>(pieces, words);
    }
}

void cryptBytesAlone(Stream &stream, std::span<std::uint8_t> bytes)
{
    for (std::uint8_t &byte : bytes) {
        stream.i = (stream.i + 1) & 0xff;
        const std::uint32_t si = stream.box[stream.i];
        stream.j = (stream.j + si) & 0xff;
        const std::uint32_t sj = stream.box[stream.j];
        stream.box[stream.i] = sj;
        stream.box[stream.j] = si;
        byte ^= std::uint8_t(stream.box[(si + sj) & 0xff]);
    }
}

} // namespace

Stream::Stream(const Rc4State &state) : i(state.i), j(state.j)
{
    std::copy(state.box.begin(), state.box.end(), box.begin());
}

// The words all pieces still have are done together, as long as two or more
// pieces have some; the rest of each piece alone. Streams out of step (their
// i apart) go alone.
void crypt(std::span<const Piece> pieces)
{
    std::array<Piece, MaxStreams> left;
    size_t count = 0;
    for (const Piece &piece : pieces) {
        if (!piece.bytes.empty())
            left[count++] = piece;
    }
    const bool inStep = std::all_of(left.begin(), left.begin() + count,
                                    [&left](const Piece &piece) { return piece.stream->i == left[0].stream->i; });
    while (count > 0) {
        const auto shortest = std::min_element(left.begin(), left.begin() + count,
                                               [](const Piece &a, const Piece &b) { return a.bytes.size() < b.bytes.size(); });
        const size_t words = shortest->bytes.size() / 8;
        if (words == 0 || count == 1 || !inStep) {
            const size_t alone = size_t(shortest - left.begin());
            const Piece piece = left[alone];
            const size_t wordBytes = words == 0 ? 0 : piece.bytes.size() / 8 * 8;
            cryptWordsTogether(&piece, 1, wordBytes / 8);
            cryptBytesAlone(*piece.stream, piece.bytes.subspan(wordBytes));
            left[alone] = left[--count];
            continue;
        }
        cryptWordsTogether(left.data(), count, words);
        for (size_t p = 0; p < count; ++p)
            left[p].bytes = left[p].bytes.subspan(words * 8);
    }
}

} // namespace Rc4Streams
