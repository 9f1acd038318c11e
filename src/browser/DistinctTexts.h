#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// A set of texts, each kept once, in one buffer, and known by its number in
// the order the texts first came.
class DistinctTexts
{
public:
    using Id = std::uint32_t;

    // The number of the text, newly given or the one it already has.
    Id add(QStringView text);

    QStringView at(Id id) const;
    qsizetype count() const { return qsizetype(m_ends.size()); }

private:
    // Where the text would be in m_slots: its own slot, or the empty one
    // it would take.
    std::size_t slotOf(QStringView text) const;
    void growSlots();

    QString m_text;            // every text, one after the other
    std::vector<qsizetype> m_ends; // where each ends in m_text
    // Open addressing by hash: 0 is an empty slot, else a text's number + 1.
    std::vector<Id> m_slots = std::vector<Id>(64);
};
