#pragma once

#include <QString>
#include <QStringList>

// Where the link harvest's lines go: kept for the window's whole life,
// appended to, never cleared, not shown anywhere.
class LinkRows
{
public:
    void AddItem(const QString &row);

    const QStringList &rows() const { return m_rows; }

private:
    QStringList m_rows;
};
