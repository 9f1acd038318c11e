#include "browser/LinkRows.h"

void LinkRows::AddItem(const QString &row)
{
    append(m_texts.add(row));
}

QStringList LinkRows::rows() const
{
    QStringList all;
    all.reserve(m_size);
    for (const Run &run : m_runs) {
        for (std::uint32_t step = 0; step < run.length; ++step)
            all << m_texts.at(run.repeats ? run.first : run.first + step).toString();
    }
    return all;
}

bool LinkRows::extends(const Run &run, Id id)
{
    if (run.length == MaxRunLength)
        return false;
    const std::uint64_t next = std::uint64_t(run.first) + run.length;
    if (run.length == 1)
        return id == run.first || id == next;
    return id == (run.repeats ? run.first : next);
}

void LinkRows::append(Id id)
{
    ++m_size;
    if (!m_runs.empty() && extends(m_runs.back(), id)) {
        Run &last = m_runs.back();
        if (last.length == 1)
            last.repeats = id == last.first;
        ++last.length;
        return;
    }
    m_runs.push_back(Run{id, 1, 0});
}
