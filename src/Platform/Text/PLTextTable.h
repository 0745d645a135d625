#pragma once

#include <QList>

#include <memory>

// A table of rich text. Its cells are the paragraphs whose paragraph style names the table in
// a PLTextTableBlock; the table itself holds only what all its cells share. Tables are
// immutable and shared: two blocks are of one table when they point at the same object.
struct PLTextTable {
    // Readers never make more columns than this, so that a table from a file stays drawable.
    static constexpr int MaximumColumns = 64;

    int numberOfColumns = 1;
    // The widths of the columns in points, as far as they are known (a file may give the
    // edges of columns that no cell of one column spans).
    QList<double> columnWidths;
    // Where the first column starts, from the left margin in points.
    double leftEdge = 0;

    static std::shared_ptr<const PLTextTable> make(int numberOfColumns, const QList<double>& columnWidths = {}, double leftEdge = 0);
};

using PLTextTablePtr = std::shared_ptr<const PLTextTable>;
