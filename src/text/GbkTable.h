#pragma once

#include <array>
#include <cstdint>
#include <vector>

class QStringDecoder;

namespace CodePage {

inline constexpr char16_t Replacement = 0xFFFD;
// In the pair table: the byte cannot follow the lead byte.
inline constexpr char16_t NotATrail = 0xFFFF;

// What Qt's GBK converter makes of every single byte and every pair of bytes,
// asked of the converter itself once, so that AnsiDecoder gives its
// results exactly, only faster. A lead byte at the very end of the bytes is
// left to AnsiDecoder::finish.
// Learning takes a moment, so it happens once, on first use.
class GbkTable
{
public:
    static const GbkTable &instance();

    // False when the converter acts in a way the table cannot express; then
    // the converter decodes everything.
    bool usable() const { return m_usable; }
    bool isSingle(std::uint8_t byte) const { return m_isSingle[byte]; }
    char16_t single(std::uint8_t byte) const { return m_single[byte]; }
    // The character of lead byte and trail byte, or NotATrail: the converter
    // then gives a replacement character and reads the trail byte afresh.
    char16_t pair(std::uint8_t lead, std::uint8_t trail) const { return m_pair[lead * 256u + trail]; }
    // The byte is a character of its own that no lead byte takes as its
    // trail: decoding after it gives the same whatever came before it.
    bool endsEveryCharacter(std::uint8_t byte) const { return m_endsEveryCharacter[byte]; }

private:
    GbkTable();
    void learnSingle(QStringDecoder &decoder, std::uint8_t byte);
    void learnPair(QStringDecoder &decoder, std::uint8_t lead, std::uint8_t trail);
    void findCharacterEnds();

    bool m_usable = true;
    std::array<bool, 256> m_isSingle{};
    std::array<char16_t, 256> m_single{};
    std::array<bool, 256> m_endsEveryCharacter{};
    std::vector<char16_t> m_pair;
};

} // namespace CodePage
