#include "browser/HarvestList.h"

void HarvestList::AddItem(const QString &row)
{
    m_rows << row;
}
