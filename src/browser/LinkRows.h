#pragma once

#include "browser/DistinctTexts.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Where the link harvest's lines go: kept for the window's whole life,
// appended to, never cleared, not shown anywhere.
//
// A page that loads again and again brings the same rows again and again, so
// the text of each distinct row is kept once, as it came, and the rows
// themselves as runs of the texts' numbers: a run is either consecutive
// numbers or one number repeated. A page harvested again thus costs a few
// bytes a pass; at worst (rows in an order no run can follow) a row costs
// one run of 8 bytes beside its distinct text.
class LinkRows
{
public:
    void AddItem(const QString &row);

    qint64 size() const { return m_size; }

    // Every row, in order, made on demand.
    QStringList rows() const;

private:
    using Id = DistinctTexts::Id;

    struct Run
    {
        Id first;
        std::uint32_t length : 31;
        std::uint32_t repeats : 1; // else consecutive
    };
    static constexpr std::uint32_t MaxRunLength = (1u << 31) - 1;

    static bool extends(const Run &run, Id id);
    void append(Id id);

    DistinctTexts m_texts;
    std::vector<Run> m_runs;
    qint64 m_size = 0;
};
