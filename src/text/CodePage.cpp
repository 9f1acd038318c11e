#include "text/CodePage.h"

#include "platform/Sse2.h"
#include "text/GbkConverter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace CodePage {
namespace {

QStringEncoder gbkEncoder()
{
    // Stateless, so that a lone surrogate is reported instead of held back.
    return GbkConverter::encoder(QStringConverter::Flag::Stateless);
}

// GBK bytes of one code point, empty when GBK cannot hold it.
QByteArray encodeCodePoint(QStringEncoder &encoder, char32_t codePoint)
{
    if (QChar::isSurrogate(codePoint))
        return {};
    const QString character = QString::fromUcs4(&codePoint, 1);
    encoder.resetState();
    QByteArray bytes = encoder.encode(character);
    if (encoder.hasError())
        return {};
    return bytes;
}

bool hasSurrogates(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar unit) { return unit.isSurrogate(); });
}

template<typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    for (qsizetype index = 0; index < text.size();) {
        const QChar unit = text.at(index);
        char32_t codePoint = unit.unicode();
        qsizetype width = 1;
        if (unit.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(unit, text.at(index + 1));
            width = 2;
        }
        if (!visit(codePoint, index))
            return;
        index += width;
    }
}

constexpr char16_t Replacement = 0xFFFD;
// In the pair table: the byte cannot follow the lead byte.
constexpr char16_t NotATrail = 0xFFFF;

// What Qt's GBK converter makes of every single byte and every pair of bytes,
// asked of the converter itself once, so that the decoder below gives its
// results exactly, only faster. A lead byte at the very end of the bytes is
// left to AnsiDecoder::finish.
class GbkTable
{
public:
    static const GbkTable &instance()
    {
        static const GbkTable table;
        return table;
    }

    // False when the converter acts in a way the table cannot express; then
    // the converter decodes everything.
    bool usable() const { return m_usable; }
    bool isSingle(std::uint8_t byte) const { return m_isSingle[byte]; }
    char16_t single(std::uint8_t byte) const { return m_single[byte]; }
    // The character of lead byte and trail byte, or NotATrail: the converter
    // then gives a replacement character and reads the trail byte afresh.
    char16_t pair(std::uint8_t lead, std::uint8_t trail) const { return m_pair[lead * 256u + trail]; }

private:
    GbkTable() : m_pair(256 * 256, NotATrail)
    {
        QStringDecoder decoder = GbkConverter::decoder(QStringConverter::Flag::Stateless);
        for (int byte = 0; byte < 256 && m_usable; ++byte)
            learnSingle(decoder, std::uint8_t(byte));
        for (int lead = 0; lead < 256 && m_usable; ++lead) {
            if (m_isSingle[size_t(lead)])
                continue;
            for (int trail = 0; trail < 256 && m_usable; ++trail)
                learnPair(decoder, std::uint8_t(lead), std::uint8_t(trail));
        }
    }

    static QString decodeAlone(QStringDecoder &decoder, QByteArrayView bytes)
    {
        decoder.resetState();
        return decoder.decode(bytes);
    }

    void learnSingle(QStringDecoder &decoder, std::uint8_t byte)
    {
        const char bytes[] = {char(byte)};
        const QString text = decodeAlone(decoder, QByteArrayView(bytes, 1));
        if (text.isEmpty())
            return; // a lead byte, waiting for its trail byte
        // ASCII must stay itself: the decoder widens runs of it directly.
        m_usable = text.size() == 1 && (byte >= 0x80 || text.at(0).unicode() == byte);
        m_isSingle[byte] = true;
        m_single[byte] = text.at(0).unicode();
    }

    void learnPair(QStringDecoder &decoder, std::uint8_t lead, std::uint8_t trail)
    {
        const char bytes[] = {char(lead), char(trail)};
        const QString text = decodeAlone(decoder, QByteArrayView(bytes, 2));
        const bool character = text.size() == 1 && text.at(0) != Replacement && text.at(0) != NotATrail;
        const bool rejectedTrail = text.size() == 2 && text.at(0) == Replacement && m_isSingle[trail]
                                   && text.at(1) == m_single[trail];
        if (character)
            m_pair[lead * 256u + trail] = text.at(0).unicode();
        m_usable = character || rejectedTrail;
    }

    bool m_usable = true;
    std::array<bool, 256> m_isSingle{};
    std::array<char16_t, 256> m_single{};
    std::vector<char16_t> m_pair;
};

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
    const GbkTable &table = GbkTable::instance();
    if (!table.usable()) {
        m_forConverter.append(piece);
        return;
    }
    const qsizetype start = text.size();
    // Every byte gives at most one unit; one more for a character begun in the last piece.
    text.resize(start + piece.size() + 1);
    char16_t *const first = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = first + start;
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
    text.truncate(out - first);
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

bool isValidAnsi(QByteArrayView bytes)
{
    // Ended by a line feed, so that a lead byte at the very end counts as invalid too.
    QStringDecoder decoder = GbkConverter::decoder();
    const QString text = decoder.decode(bytes.toByteArray() + '\n');
    return !decoder.hasError();
}

void requireGbk()
{
    if (GbkConverter::source() == GbkConverter::Source::None)
        throw Unavailable("this Qt build has no GBK (code page 936) converter");
}

QByteArray toAnsi(QStringView text)
{
    QStringEncoder encoder = gbkEncoder();
    if (!hasSurrogates(text)) {
        // Whole texts in one go; code point by code point only when GBK cannot hold everything.
        QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError())
            return bytes;
    }
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype) {
        if (codePoint < 0x80) {
            bytes.append(static_cast<char>(codePoint));
            return true;
        }
        const QByteArray encoded = encodeCodePoint(encoder, codePoint);
        bytes.append(encoded.isEmpty() ? QByteArray("?") : encoded);
        return true;
    });
    return bytes;
}

QString fromAnsi(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size() + 1);
    AnsiDecoder decoder;
    decoder.decode(bytes, text);
    decoder.finish(text);
    text.squeeze();
    return text;
}

qsizetype ansiByteCount(QStringView text)
{
    qsizetype count = 0;
    QStringEncoder encoder = gbkEncoder();
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype) {
        count += codePoint < 0x80 ? 1 : qMax<qsizetype>(1, encodeCodePoint(encoder, codePoint).size());
        return true;
    });
    return count;
}

bool findUnencodable(QStringView text, qsizetype *position)
{
    bool found = false;
    QStringEncoder encoder = gbkEncoder();
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype index) {
        if (codePoint < 0x80 || !encodeCodePoint(encoder, codePoint).isEmpty())
            return true;
        found = true;
        if (position)
            *position = index;
        return false;
    });
    return found;
}

} // namespace CodePage
