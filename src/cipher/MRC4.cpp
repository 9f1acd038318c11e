#include "cipher/MRC4.h"

#include "text/CodePage.h"

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

} // namespace

void CryptBytes(std::span<std::uint8_t> buffer, const QString &key)
{
    if (!key.isEmpty())
        ScheduleKey(key);

    // Work on locals; the table and box stay the module's own.
    const auto &table = state.AddTable;
    auto &box = state.SBox;
    std::uint8_t i = static_cast<std::uint8_t>(state.i);
    std::uint8_t j = static_cast<std::uint8_t>(state.j);
    for (std::uint8_t &byte : buffer) {
        i = table[1][i];
        j = table[box[i]][j];
        std::swap(box[i], box[j]);
        byte ^= box[table[box[j]][box[i]]];
    }
    state.i = i;
    state.j = j;
}

const CipherState &State()
{
    return state;
}

} // namespace MRC4
