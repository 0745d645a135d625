#include "MapLayout/IXLayoutCellIndex.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// An entry covering more tiles than this is tested directly on every query; few cells are
// that large (the groups near the roots), and listing them would cost more than testing them.
constexpr long MaxTilesPerEntry = 64;
// Rectangles looked at to find the typical size.
constexpr std::size_t SizeSample = 1024;

bool isFinite(const PLRect& r)
{
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.maxX()) && std::isfinite(r.maxY())
        && std::isfinite(r.width()) && std::isfinite(r.height());
}

// The tile holding an offset from the extent's edge, clamped before the conversion to int
// (a far or undefined coordinate gives an edge tile).
int tileAt(double offset, double tileSize, int count)
{
    const double tile = std::floor(offset / tileSize);
    if (!(tile > 0)) return 0;
    if (tile >= double(count - 1)) return count - 1;
    return int(tile);
}

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
    try {
        makeGrid();
    } catch (const std::exception&) {
        // Out of memory: answer by a pass over the rectangles rather than from a half grid.
        m_extent = PLRect();
        m_maxX = m_maxY = 0;
        m_columns = m_rows = 0;
        std::vector<std::uint32_t>().swap(m_tileStart);
        std::vector<std::uint32_t>().swap(m_entries);
        std::vector<std::uint32_t>().swap(m_large);
        m_scanOnly = true;
    }
}

void IXLayoutCellIndex::makeGrid() const
{
    std::size_t count = 0;
    std::vector<bool> large(m_rects.size(), false);
    for (std::uint32_t i = 0; i < m_rects.size(); ++i) {
        const PLRect& r = m_rects[i];
        if (r.isEmpty()) continue;
        if (!isFinite(r)) {
            large[i] = true;
            m_large.push_back(i);
            continue;
        }
        m_maxX = count == 0 ? r.maxX() : std::max(m_maxX, double(r.maxX()));
        m_maxY = count == 0 ? r.maxY() : std::max(m_maxY, double(r.maxY()));
        m_extent = m_extent.united(r);
        ++count;
    }
    if (count == 0) return;
    // Tiles about the size of a typical cell, so that most cells are listed in a few tiles
    // whatever the map's shape (a tall mind map would otherwise get tiles a few points wide
    // and list every box in dozens of them); at most about one tile per rectangle, however
    // far apart a hostile file puts them.
    const PLSize typical = typicalSize();
    const double extentWidth = m_maxX - double(m_extent.minX());
    const double extentHeight = m_maxY - double(m_extent.minY());
    double columns = std::max(1.0, std::ceil(extentWidth / typical.width));
    double rows = std::max(1.0, std::ceil(extentHeight / typical.height));
    const double maxTiles = std::max<double>(1, double(count));
    if (columns * rows > maxTiles) {
        const double shrink = std::sqrt(columns * rows / maxTiles);
        columns = std::max(1.0, std::floor(columns / shrink));
        rows = std::max(1.0, std::floor(rows / shrink));
    }
    columns = std::min(columns, maxTiles);
    rows = std::clamp(std::floor(maxTiles / columns), 1.0, rows);
    m_columns = int(columns);
    m_rows = int(rows);
    m_tileWidth = std::max(extentWidth / columns, 1e-30);
    m_tileHeight = std::max(extentHeight / rows, 1e-30);

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
    for (std::uint32_t i = 0; i < m_rects.size(); ++i) {
        const PLRect& r = m_rects[i];
        if (r.isEmpty() || large[i]) continue;
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
    return tileAt(double(x) - double(m_extent.minX()), m_tileWidth, m_columns);
}

int IXLayoutCellIndex::row(float y) const
{
    return tileAt(double(y) - double(m_extent.minY()), m_tileHeight, m_rows);
}

template <typename Accept>
std::vector<std::uint32_t> IXLayoutCellIndex::collect(const PLRect& area, Accept accept) const
{
    std::vector<std::uint32_t> found;
    if (!m_hasGrid || m_scanOnly) {
        if (!m_asked || m_scanOnly) {
            m_asked = true;
            for (std::uint32_t i = 0; i < m_rects.size(); ++i)
                if (!m_rects[i].isEmpty() && accept(m_rects[i])) found.push_back(i);
            return found;
        }
        buildGrid();
        if (m_scanOnly) return collect(area, accept);
    }
    for (std::uint32_t i : m_large)
        if (accept(m_rects[i])) found.push_back(i);
    if (m_columns == 0) return found;
    if (area.maxX() >= m_extent.minX() && area.minX() <= m_maxX && area.maxY() >= m_extent.minY()
        && area.minY() <= m_maxY) {
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
