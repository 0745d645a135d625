#pragma once

#include "Platform/Text/PLTextTable.h"

#include <QColor>

#include <array>
#include <optional>

// The cell of a table that a paragraph belongs to. A paragraph style lists one block per
// table around the paragraph, outermost first, so the position in that list is the nesting
// level. Consecutive paragraphs with equal blocks form one cell; every cell paragraph ends
// with "\n", so plain text has one line per cell paragraph. Lengths are in points.
struct PLTextTableBlock {
    enum Edge { Top, Left, Bottom, Right };
    enum class VerticalAlignment { Top, Middle, Bottom };
    // Nesting deeper than this is read as the deepest level.
    static constexpr int MaximumNesting = 16;

    PLTextTablePtr table;
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    // The cell's width, or 0 when it takes what the table gives it.
    double width = 0;
    std::array<double, 4> borderWidths{};
    std::array<std::optional<QColor>, 4> borderColors{};
    std::array<double, 4> padding{};
    std::optional<QColor> backgroundColor;
    VerticalAlignment verticalAlignment = VerticalAlignment::Top;

    // Same cell of the same table (by identity) with the same settings.
    bool operator==(const PLTextTableBlock& other) const { return table == other.table && sameCell(other); }
    // Same place, spans and settings, whichever table the blocks are of.
    bool sameCell(const PLTextTableBlock& other) const;
};
