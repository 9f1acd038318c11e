#include "browser/LinkRows.h"

void LinkRows::AddItem(const QString &row)
{
    m_rows << row;
}
