#include "text/AnsiDecoder.h"

#include "platform/Sse2.h"
#include "text/GbkConverter.h"
#include "text/GbkTable.h"

#include <bit>

namespace CodePage {
namespace {

// Widens the ASCII bytes at `in` into `out` up to the first byte that is not
// ASCII, with SSE2 sixteen at a time while at least sixteen remain (writing
// up to sixteen units past what it reports). Returns the number of bytes done.
qsizetype widenAscii(const std::uint8_t *in, const std::uint8_t *end, char16_t *out)
{
    qsizetype done = 0;
#if defined(VELLMAR_HAVE_SSE2)
    const __m128i zero = _mm_setzero_si128();
    while (end - (in + done) >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + done));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + done), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + done + 8), _mm_unpackhi_epi8(bytes, zero));
        const unsigned nonAscii = unsigned(_mm_movemask_epi8(bytes));
        if (nonAscii != 0)
            return done + std::countr_zero(nonAscii);
        done += 16;
    }
#else
    for (; in + done < end && in[done] < 0x80; ++done)
        out[done] = in[done];
#endif
    return done;
}

// Decodes one character at a time from `in` on, up to an ASCII byte with
// sixteen bytes or more left, which widenAscii takes faster, or to `end`; a
// lead byte at `end` goes to `pendingLead`.
const std::uint8_t *decodeCharacters(const GbkTable &table, const std::uint8_t *in, const std::uint8_t *end,
                                     char16_t *&out, int &pendingLead)
{
    while (in < end && (*in >= 0x80 || end - in < 16)) {
        const std::uint8_t byte = *in;
        if (table.isSingle(byte)) {
            *out++ = table.single(byte);
            ++in;
        } else if (in + 1 == end) {
            pendingLead = byte;
            ++in;
        } else {
            const char16_t unit = table.pair(byte, in[1]);
            *out++ = unit == NotATrail ? Replacement : unit;
            in += unit == NotATrail ? 1 : 2;
        }
    }
    return in;
}

} // namespace

void AnsiDecoder::decode(QByteArrayView piece, QString &text)
{
    if (!GbkTable::instance().usable()) {
        m_forConverter.append(piece);
        return;
    }
    const qsizetype start = text.size();
    // Every byte gives at most one unit; one more for a character begun in the last piece.
    text.resize(start + piece.size() + 1);
    const qsizetype units = decodeInto(piece, reinterpret_cast<char16_t *>(text.data()) + start);
    text.truncate(start + units);
}

qsizetype AnsiDecoder::decodeInto(QByteArrayView piece, char16_t *const first)
{
    const GbkTable &table = GbkTable::instance();
    char16_t *out = first;
    const auto *in = reinterpret_cast<const std::uint8_t *>(piece.data());
    const auto *const end = in + piece.size();

    if (m_pendingLead >= 0 && in < end) {
        const char16_t unit = table.pair(std::uint8_t(m_pendingLead), *in);
        *out++ = unit == NotATrail ? Replacement : unit;
        in += unit == NotATrail ? 0 : 1;
        m_pendingLead = -1;
    }
    while (in < end) {
        const qsizetype ascii = widenAscii(in, end, out);
        out += ascii;
        in = decodeCharacters(table, in + ascii, end, out, m_pendingLead);
    }
    return out - first;
}

qsizetype AnsiDecoder::freshStart(QByteArrayView bytes)
{
    const GbkTable &table = GbkTable::instance();
    if (!table.usable())
        return -1;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const auto byte = std::uint8_t(bytes[at]);
        if (table.endsEveryCharacter(byte) && table.single(byte) != u'\r')
            return at + 1;
    }
    return -1;
}

void AnsiDecoder::finish(QString &text)
{
    if (m_pendingLead >= 0)
        m_forConverter.append(char(m_pendingLead));
    m_pendingLead = -1;
    if (m_forConverter.isEmpty())
        return;
    // Qt's converter silently drops a lead byte left at the very end. A line
    // feed, which is never a trail byte, makes it give a substitute for it
    // like for any other lead byte without its trail; the feed is taken off again.
    m_forConverter.append('\n');
    QStringDecoder decoder = GbkConverter::decoder();
    QString rest = decoder.decode(m_forConverter);
    rest.chop(1);
    text.append(rest);
    m_forConverter.clear();
}

} // namespace CodePage
