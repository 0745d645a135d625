#include "Platform/Text/PLTextTableBlock.h"

#include <tuple>

bool PLTextTableBlock::sameCell(const PLTextTableBlock& other) const
{
    const auto columns = [](const PLTextTableBlock& b) { return b.table ? b.table->numberOfColumns : 0; };
    return std::tie(row, column, rowSpan, columnSpan, width, borderWidths, borderColors, padding, backgroundColor,
                    verticalAlignment)
        == std::tie(other.row, other.column, other.rowSpan, other.columnSpan, other.width, other.borderWidths,
                    other.borderColors, other.padding, other.backgroundColor, other.verticalAlignment)
        && columns(*this) == columns(other);
}
