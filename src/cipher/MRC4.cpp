#include "cipher/MRC4.h"

#include "text/CodePage.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace MRC4 {
namespace {

CipherState state;

// The longest key whose schedule stays within 16-bit positions: the last
// KeyBox position filled for character 255 is followed by a step of 255 + L.
constexpr int MaxKeyLength = 32767 - 255;

void BuildAddTable()
{
    if (state.TableBuilt)
        return;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            state.AddTable[y][x] = static_cast<std::uint8_t>((x + y) % 256);
    state.TableBuilt = true;
}

void ResetBox()
{
    for (int n = 0; n < 256; ++n)
        state.SBox[n] = static_cast<std::uint8_t>(n);
}

std::uint8_t add(std::uint8_t x, std::uint8_t y)
{
    return state.AddTable[y][x];
}

std::uint8_t keyCharacterCode(const QString &key, qsizetype position)
{
    const QChar character = key.at(position);
    const QByteArray code = CodePage::toAnsi(QStringView(&character, 1));
    if (code.size() != 1) {
        throw KeyError(QStringLiteral("cipher key character '%1' (U+%2) at position %3 is not a "
                                      "single byte in the GBK code page")
                           .arg(character)
                           .arg(character.unicode(), 4, 16, QLatin1Char('0'))
                           .arg(position)
                           .toStdString());
    }
    return static_cast<std::uint8_t>(code.at(0));
}

void fillKeyBox(const QString &key)
{
    const qsizetype length = key.size();
    for (qsizetype p = 0; p < length; ++p) {
        const std::uint8_t code = keyCharacterCode(key, p);
        for (qsizetype q = p; q <= 255; q += length)
            state.KeyBox[q] = code;
    }
}

void mixSBox()
{
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = add(j, add(state.SBox[i], state.KeyBox[i]));
        std::swap(state.SBox[i], state.SBox[j]);
    }
}

void ScheduleKey(const QString &key)
{
    BuildAddTable();
    ResetBox();
    if (key.size() > MaxKeyLength) {
        throw KeyError(QStringLiteral("cipher key of %1 characters is too long (at most %2)")
                           .arg(key.size())
                           .arg(MaxKeyLength)
                           .toStdString());
    }
    fillKeyBox(key);
    mixSBox();
    state.i = 0;
    state.j = 0;
}

// The keystream in registers and a box of 32-bit entries: the 64 KB AddTable
// does not fit the first-level cache, and byte entries would make every
// exchange wait on the one before. Eight bytes of keystream are XORed at once.
class KeystreamBox
{
public:
    KeystreamBox()
    {
        std::copy(state.SBox.begin(), state.SBox.end(), m_box.begin());
        m_i = std::uint8_t(state.i);
        m_j = std::uint8_t(state.j);
    }

    ~KeystreamBox()
    {
        std::copy(m_box.begin(), m_box.end(), state.SBox.begin());
        state.i = m_i;
        state.j = m_j;
    }

    KeystreamBox(const KeystreamBox &) = delete;
    KeystreamBox &operator=(const KeystreamBox &) = delete;

    std::uint32_t nextByte()
    {
        m_i = (m_i + 1) & 0xff;
        const std::uint32_t si = m_box[m_i];
        m_j = (m_j + si) & 0xff;
        const std::uint32_t sj = m_box[m_j];
        m_box[m_i] = sj;
        m_box[m_j] = si;
        return m_box[(si + sj) & 0xff];
    }

    std::uint64_t nextWord()
    {
        std::uint64_t word = 0;
        for (int shift = 0; shift < 64; shift += 8)
            word |= std::uint64_t(nextByte()) << shift;
        return word;
    }

private:
    std::array<std::uint32_t, 256> m_box;
    std::uint32_t m_i;
    std::uint32_t m_j;
};

} // namespace

void CryptBytes(std::span<std::uint8_t> buffer, const QString &key)
{
    if (!key.isEmpty())
        ScheduleKey(key);

    KeystreamBox box;
    std::uint8_t *byte = buffer.data();
    std::uint8_t *const end = byte + buffer.size();
    for (; end - byte >= 8; byte += 8) {
        std::uint64_t word;
        std::memcpy(&word, byte, sizeof word);
        word ^= box.nextWord();
        std::memcpy(byte, &word, sizeof word);
    }
    for (; byte != end; ++byte)
        *byte ^= std::uint8_t(box.nextByte());
}

const CipherState &State()
{
    return state;
}

} // namespace MRC4
