#include "text/GbkTable.h"

#include "text/GbkConverter.h"

#include <QString>

namespace CodePage {
namespace {

QString decodeAlone(QStringDecoder &decoder, QByteArrayView bytes)
{
    decoder.resetState();
    return decoder.decode(bytes);
}

} // namespace

const GbkTable &GbkTable::instance()
{
    static const GbkTable table;
    return table;
}

GbkTable::GbkTable() : m_pair(256 * 256, NotATrail)
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
    if (m_usable)
        findCharacterEnds();
}

void GbkTable::learnSingle(QStringDecoder &decoder, std::uint8_t byte)
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

void GbkTable::findCharacterEnds()
{
    for (int byte = 0; byte < 256; ++byte) {
        bool ends = m_isSingle[size_t(byte)];
        for (int lead = 0; lead < 256 && ends; ++lead)
            ends = m_isSingle[size_t(lead)] || pair(std::uint8_t(lead), std::uint8_t(byte)) == NotATrail;
        m_endsEveryCharacter[size_t(byte)] = ends;
    }
}

void GbkTable::learnPair(QStringDecoder &decoder, std::uint8_t lead, std::uint8_t trail)
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

} // namespace CodePage
