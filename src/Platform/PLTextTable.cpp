#include "Platform/PLTextTable.h"

#include <algorithm>

std::shared_ptr<const PLTextTable> PLTextTable::make(int numberOfColumns)
{
    auto table = std::make_shared<PLTextTable>();
    table->numberOfColumns = std::clamp(numberOfColumns, 1, MaximumColumns);
    return table;
}
