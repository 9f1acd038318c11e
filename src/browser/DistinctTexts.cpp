#include "browser/DistinctTexts.h"

#include <QHashFunctions>

namespace {

std::size_t hashOf(QStringView text)
{
    // Seeded per process, so that a page cannot choose texts that collide.
    return qHash(text, QHashSeed::globalSeed());
}

} // namespace

DistinctTexts::Id DistinctTexts::add(QStringView text)
{
    const std::size_t slot = slotOf(text);
    if (m_slots[slot] != 0)
        return m_slots[slot] - 1;
    m_text.append(text);
    m_ends.push_back(m_text.size());
    const Id id = Id(m_ends.size() - 1);
    m_slots[slot] = id + 1;
    if (m_ends.size() * 2 > m_slots.size())
        growSlots();
    return id;
}

QStringView DistinctTexts::at(Id id) const
{
    const qsizetype start = id == 0 ? 0 : m_ends[id - 1];
    return QStringView(m_text).sliced(start, m_ends[id] - start);
}

std::size_t DistinctTexts::slotOf(QStringView text) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hashOf(text) & mask;; slot = (slot + 1) & mask) {
        if (m_slots[slot] == 0 || at(m_slots[slot] - 1) == text)
            return slot;
    }
}

void DistinctTexts::growSlots()
{
    m_slots.assign(m_slots.size() * 2, 0);
    for (Id id = 0; id < Id(m_ends.size()); ++id)
        m_slots[slotOf(at(id))] = id + 1;
}
