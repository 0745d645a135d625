#pragma once

#include "Platform/Drawing/PLRect.h"

#include <cstdint>
#include <vector>

// Finds the entries of a list of rectangles (cells' canvas rectangles, by their position in a
// stack) that meet a rectangle or hold a point, without visiting the others: a uniform grid
// over the rectangles' extent with tiles about a typical rectangle's size, each entry listed in
// the tiles it covers; entries that would
// cover many tiles are kept apart and tested directly. Answers come in ascending position, so
// stack order is kept. Empty rectangles are never found.
//
// The grid costs far more than one pass over the rectangles, and an index is often asked
// once before the cells move again (the paint after an edit): the first question is answered
// by that pass, the grid is made for the second. Rectangles that are not finite are tested
// directly too, and a grid that cannot be made (no memory) leaves the index answering by
// that pass: never half built. Not for use from several threads at once.
class IXLayoutCellIndex {
public:
    IXLayoutCellIndex() = default;
    explicit IXLayoutCellIndex(std::vector<PLRect> rects) : m_rects(std::move(rects)) {}

    const std::vector<PLRect>& rects() const { return m_rects; }
    // The positions whose rectangle intersects the given one.
    std::vector<std::uint32_t> positionsMeeting(const PLRect& rect) const;
    // The positions whose rectangle may hold the point: every rectangle holding it, and those
    // whose edge lies within the slack of it (callers test exactly).
    std::vector<std::uint32_t> positionsNear(PLPoint point, float slack) const;

private:
    template <typename Accept>
    std::vector<std::uint32_t> collect(const PLRect& area, Accept accept) const;
    void buildGrid() const;
    void makeGrid() const;
    PLSize typicalSize() const;
    int column(float x) const;
    int row(float y) const;

    std::vector<PLRect> m_rects;
    // The grid, made on the second question.
    mutable bool m_asked = false;
    mutable bool m_hasGrid = false;
    // Every question answered by one pass (no grid could be made).
    mutable bool m_scanOnly = false;
    mutable PLRect m_extent;
    // The extent's far edges, in double: a float extent loses a small map beside a huge one.
    mutable double m_maxX = 0;
    mutable double m_maxY = 0;
    mutable int m_columns = 0;
    mutable int m_rows = 0;
    mutable double m_tileWidth = 1;
    mutable double m_tileHeight = 1;
    // Tile t lists m_entries[m_tileStart[t] .. m_tileStart[t + 1]).
    mutable std::vector<std::uint32_t> m_tileStart;
    mutable std::vector<std::uint32_t> m_entries;
    mutable std::vector<std::uint32_t> m_large;
};
