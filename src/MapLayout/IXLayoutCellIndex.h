#pragma once

#include "Platform/PLRect.h"

#include <cstdint>
#include <vector>

// Finds the entries of a list of rectangles (cells' canvas rectangles, by their position in a
// stack) that meet a rectangle or hold a point, without visiting the others: a uniform grid
// over the rectangles' extent, each entry listed in the tiles it covers; entries that would
// cover many tiles are kept apart and tested directly. Answers come in ascending position, so
// stack order is kept. Empty rectangles are never found.
class IXLayoutCellIndex {
public:
    IXLayoutCellIndex() = default;
    explicit IXLayoutCellIndex(std::vector<PLRect> rects);

    const std::vector<PLRect>& rects() const { return m_rects; }
    // The positions whose rectangle intersects the given one.
    std::vector<std::uint32_t> positionsMeeting(const PLRect& rect) const;
    // The positions whose rectangle may hold the point: every rectangle holding it, and those
    // whose edge lies within the slack of it (callers test exactly).
    std::vector<std::uint32_t> positionsNear(PLPoint point, float slack) const;

private:
    template <typename Accept>
    std::vector<std::uint32_t> collect(const PLRect& area, Accept accept) const;
    int column(float x) const;
    int row(float y) const;

    std::vector<PLRect> m_rects;
    PLRect m_extent;
    int m_columns = 0;
    int m_rows = 0;
    float m_tileWidth = 1;
    float m_tileHeight = 1;
    // Tile t lists m_entries[m_tileStart[t] .. m_tileStart[t + 1]).
    std::vector<std::uint32_t> m_tileStart;
    std::vector<std::uint32_t> m_entries;
    std::vector<std::uint32_t> m_large;
};
