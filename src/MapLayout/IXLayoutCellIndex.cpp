#include "MapLayout/IXLayoutCellIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// An entry covering more tiles than this is tested directly on every query; few cells are
// that large (the groups near the roots), and listing them would cost more than testing them.
constexpr long MaxTilesPerEntry = 64;
// Rectangles looked at to find the typical size.
constexpr std::size_t SizeSample = 1024;

}  // namespace

PLSize IXLayoutCellIndex::typicalSize() const
{
    // Medians of a spread sample: the few huge groups near the roots must not set the tile size.
    std::vector<float> widths, heights;
    const std::size_t step = std::max<std::size_t>(1, m_rects.size() / SizeSample);
    for (std::size_t i = 0; i < m_rects.size(); i += step) {
        if (m_rects[i].isEmpty()) continue;
        widths.push_back(m_rects[i].width());
        heights.push_back(m_rects[i].height());
    }
    if (widths.empty()) return PLSize(std::max(1.0f, m_extent.width()), std::max(1.0f, m_extent.height()));
    std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return PLSize(std::max(1.0f, widths[widths.size() / 2]), std::max(1.0f, heights[heights.size() / 2]));
}

void IXLayoutCellIndex::buildGrid() const
{
    m_hasGrid = true;
    std::size_t count = 0;
    for (const PLRect& r : m_rects) {
        if (r.isEmpty()) continue;
        m_extent = m_extent.united(r);
        ++count;
    }
    if (count == 0) return;
    // Tiles about the size of a typical cell, so that most cells are listed in a few tiles
    // whatever the map's shape (a tall mind map would otherwise get tiles a few points wide
    // and list every box in dozens of them); at most about one tile per rectangle.
    const PLSize typical = typicalSize();
    double columns = std::max(1.0, std::ceil(double(m_extent.width()) / typical.width));
    double rows = std::max(1.0, std::ceil(double(m_extent.height()) / typical.height));
    const double maxTiles = std::max<double>(1, double(count));
    if (columns * rows > maxTiles) {
        const double shrink = std::sqrt(columns * rows / maxTiles);
        columns = std::max(1.0, std::floor(columns / shrink));
        rows = std::max(1.0, std::floor(rows / shrink));
    }
    m_columns = int(columns);
    m_rows = int(rows);
    m_tileWidth = m_extent.width() / float(m_columns);
    m_tileHeight = m_extent.height() / float(m_rows);

    std::vector<std::uint32_t> counts(std::size_t(m_columns) * m_rows + 1, 0);
    auto forTiles = [&](const PLRect& r, auto visit) {
        const int c0 = column(r.minX()), c1 = column(r.maxX());
        const int r0 = row(r.minY()), r1 = row(r.maxY());
        for (int y = r0; y <= r1; ++y)
            for (int x = c0; x <= c1; ++x) visit(std::size_t(y) * m_columns + x);
    };
    auto isLarge = [&](const PLRect& r) {
        const long tiles = long(column(r.maxX()) - column(r.minX()) + 1) * long(row(r.maxY()) - row(r.minY()) + 1);
        return tiles > MaxTilesPerEntry;
    };
    std::vector<bool> large(m_rects.size(), false);
    for (std::uint32_t i = 0; i < m_rects.size(); ++i) {
        const PLRect& r = m_rects[i];
        if (r.isEmpty()) continue;
        if (isLarge(r)) {
            large[i] = true;
            m_large.push_back(i);
            continue;
        }
        forTiles(r, [&](std::size_t tile) { ++counts[tile + 1]; });
    }
    for (std::size_t t = 1; t < counts.size(); ++t) counts[t] += counts[t - 1];
    m_tileStart = counts;
    m_entries.resize(counts.back());
    for (std::uint32_t i = 0; i < m_rects.size(); ++i) {
        if (m_rects[i].isEmpty() || large[i]) continue;
        forTiles(m_rects[i], [&](std::size_t tile) { m_entries[counts[tile]++] = i; });
    }
}

int IXLayoutCellIndex::column(float x) const
{
    return std::clamp(int(std::floor((x - m_extent.minX()) / m_tileWidth)), 0, m_columns - 1);
}

int IXLayoutCellIndex::row(float y) const
{
    return std::clamp(int(std::floor((y - m_extent.minY()) / m_tileHeight)), 0, m_rows - 1);
}

template <typename Accept>
std::vector<std::uint32_t> IXLayoutCellIndex::collect(const PLRect& area, Accept accept) const
{
    std::vector<std::uint32_t> found;
    if (!m_hasGrid) {
        if (!m_asked) {
            m_asked = true;
            for (std::uint32_t i = 0; i < m_rects.size(); ++i)
                if (!m_rects[i].isEmpty() && accept(m_rects[i])) found.push_back(i);
            return found;
        }
        buildGrid();
    }
    if (m_columns == 0) return found;
    for (std::uint32_t i : m_large)
        if (accept(m_rects[i])) found.push_back(i);
    if (area.maxX() >= m_extent.minX() && area.minX() <= m_extent.maxX() && area.maxY() >= m_extent.minY()
        && area.minY() <= m_extent.maxY()) {
        const int c0 = column(area.minX()), c1 = column(area.maxX());
        const int r0 = row(area.minY()), r1 = row(area.maxY());
        for (int y = r0; y <= r1; ++y) {
            for (int x = c0; x <= c1; ++x) {
                const std::size_t tile = std::size_t(y) * m_columns + x;
                for (std::uint32_t e = m_tileStart[tile]; e < m_tileStart[tile + 1]; ++e)
                    if (accept(m_rects[m_entries[e]])) found.push_back(m_entries[e]);
            }
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::vector<std::uint32_t> IXLayoutCellIndex::positionsMeeting(const PLRect& rect) const
{
    if (rect.isEmpty()) return {};
    return collect(rect, [&](const PLRect& r) { return r.intersects(rect); });
}

std::vector<std::uint32_t> IXLayoutCellIndex::positionsNear(PLPoint point, float slack) const
{
    const PLRect area(point.x - slack, point.y - slack, 2 * slack, 2 * slack);
    return collect(area, [&](const PLRect& r) {
        return point.x >= r.minX() - slack && point.x <= r.maxX() + slack && point.y >= r.minY() - slack
            && point.y <= r.maxY() + slack;
    });
}
