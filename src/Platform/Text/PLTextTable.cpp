#include "Platform/Text/PLTextTable.h"

#include <algorithm>

std::shared_ptr<const PLTextTable> PLTextTable::make(int numberOfColumns, const QList<double>& columnWidths, double leftEdge)
{
    auto table = std::make_shared<PLTextTable>();
    table->numberOfColumns = std::clamp(numberOfColumns, 1, MaximumColumns);
    table->columnWidths = columnWidths.mid(0, table->numberOfColumns);
    table->leftEdge = leftEdge;
    return table;
}
