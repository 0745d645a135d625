#include "Platform/Drawing/PLCoverageRaster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The integral of max(0, z) from minus infinity: z^2 / 2 for positive z.
inline double ramp(double z)
{
    return z > 0 ? z * z / 2 : 0;
}

}  // namespace

namespace {

// The thread's accumulation buffer, all zero while free. Areas up to a 4K screen's share it;
// larger ones (big exports) take their own, so the buffer never keeps more than that.
struct SharedCells {
    std::vector<float> cells;
    bool taken = false;
};
constexpr std::size_t SharedCellLimit = 9'000'000;

SharedCells& sharedCells()
{
    thread_local SharedCells shared;
    return shared;
}

}  // namespace

PLCoverageRaster::PLCoverageRaster(const QRect& area)
    : m_area(area.isValid() ? area : QRect())
    , m_stride(m_area.width() + 2)
    , m_rowFirst(std::size_t(std::max(0, m_area.height())), m_stride)
    , m_rowLast(std::size_t(std::max(0, m_area.height())), -1)
{
    const std::size_t size = std::size_t(std::max(0, m_area.height())) * std::size_t(m_stride);
    SharedCells& shared = sharedCells();
    if (!shared.taken && size <= SharedCellLimit) {
        if (shared.cells.size() < size) shared.cells.resize(size, 0.0f);
        shared.taken = true;
        m_borrowed = true;
        m_accumulated = &shared.cells;
    } else {
        m_own.assign(size, 0.0f);
        m_accumulated = &m_own;
    }
}

PLCoverageRaster::~PLCoverageRaster()
{
    if (!m_borrowed) return;
    // Hands the buffer back cleared, touching only what was written.
    float* cells = m_accumulated->data();
    for (std::size_t row = 0; row < m_rowFirst.size(); ++row)
        if (m_rowFirst[row] <= m_rowLast[row])
            std::fill(cells + row * std::size_t(m_stride) + std::size_t(m_rowFirst[row]),
                      cells + row * std::size_t(m_stride) + std::size_t(m_rowLast[row]) + 1, 0.0f);
    sharedCells().taken = false;
}

void PLCoverageRaster::addPolygon(const QPointF* points, int count)
{
    if (count < 3 || m_area.isEmpty()) return;
    // Every polygon adds positive area, whichever way it winds.
    double twiceArea = 0;
    for (int i = 0; i < count; ++i) {
        const QPointF& a = points[i];
        const QPointF& b = points[(i + 1) % count];
        twiceArea += a.x() * b.y() - b.x() * a.y();
    }
    if (twiceArea == 0 || !std::isfinite(twiceArea)) return;
    const float sign = twiceArea > 0 ? 1.0f : -1.0f;
    const QPointF origin(m_area.x(), m_area.y());
    for (int i = 0; i < count; ++i) addEdge(points[i] - origin, points[(i + 1) % count] - origin, sign);
}

void PLCoverageRaster::addSegment(QPointF a, QPointF b, qreal width)
{
    const qreal dx = b.x() - a.x(), dy = b.y() - a.y();
    const qreal length = std::sqrt(dx * dx + dy * dy);
    if (length == 0 || width <= 0) return;
    const QPointF normal(-dy / length * width / 2, dx / length * width / 2);
    const QPointF corners[4] = {a + normal, b + normal, b - normal, a - normal};
    addPolygon(corners, 4);
}

void PLCoverageRaster::addDisc(QPointF centre, qreal radius)
{
    if (!(radius > 0) || !std::isfinite(radius)) return;
    // Caps of lines cut where they leave the view lie outside: nothing to add.
    if (!QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius)
             .intersects(QRectF(m_area).adjusted(-1, -1, 1, 1)))
        return;
    // A chord of angle t departs from the arc by r (1 - cos(t / 2)).
    const double step = 2 * std::acos(std::max(0.0, 1 - 0.1 / radius));
    const int sides = std::clamp(int(std::ceil(2 * std::numbers::pi / std::max(step, 1e-3))), 8, 256);
    std::vector<QPointF> points;
    points.reserve(std::size_t(sides));
    for (int i = 0; i < sides; ++i) {
        const double angle = 2 * std::numbers::pi * i / sides;
        points.emplace_back(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
    }
    addPolygon(points.data(), sides);
}

void PLCoverageRaster::addEdge(QPointF from, QPointF to, float sign)
{
    double x0 = from.x(), y0 = from.y(), x1 = to.x(), y1 = to.y();
    if (y0 == y1) return;
    // Downward edges take away to their right, upward ones add (the other way round for the
    // other winding), so that inside sums to one.
    float direction = -sign;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        direction = -direction;
    }
    const int height = m_area.height();
    const double top = std::max(y0, 0.0), bottom = std::min(y1, double(height));
    if (!(top < bottom)) return;
    const double dxdy = (x1 - x0) / (y1 - y0);
    const double xTop = x0 + (top - y0) * dxdy, xBottom = x0 + (bottom - y0) * dxdy;
    // Left of the area the edge's area falls into the first pixel's sum, right of it nowhere.
    const float width = float(m_area.width());
    const bool within = std::min(xTop, xBottom) >= 0 && std::max(xTop, xBottom) <= width;
    const float slope = float(dxdy);
    float x = float(xTop);
    float* const all = m_accumulated->data();
    // The edge crossing the row over the height dy, from x on.
    const auto cross = [&](int row, float dy) {
        float* cells = all + std::size_t(row) * std::size_t(m_stride);
        const float next = x + slope * dy;
        const float d = dy * direction;
        float left = std::min(x, next), right = std::max(x, next);
        x = next;
        if (!within) {
            // Wholly left of the area the edge covers the row from the first column on, wholly
            // right of it nothing shown. One crossing the left side is summed from the first
            // column, which then takes what lies left of it, and one crossing the right side
            // up to the last: both keep their slope, so the pixels they cross get their share.
            if (right <= 0)
                left = right = 0;
            else if (left >= width + 1)
                left = right = width + 1;
        }
        const int first = left < 0 ? 0 : int(left);
        if (left >= 0 && (right - left < 1e-4f || right <= float(first + 1))) {
            // Within one pixel: the part right of the edge's mean position is covered.
            const float inside = (left + right) / 2 - float(first);
            cells[first] += d * (1 - inside);
            const int second = std::min(first + 1, m_stride - 1);
            if (second > first) cells[second] += d * inside;
            touch(row, first, second);
            return;
        }
        // Across pixels: pixel i is covered to the expected share of it right of the edge,
        // the edge lying evenly between left and right.
        const double s = 1 / (double(right) - left);
        const auto covered = [&](double v) {
            return s * (ramp(v - left) - ramp(v - right) - ramp(v - 1 - left) + ramp(v - 1 - right));
        };
        const int last = std::min(int(std::ceil(right)), m_stride - 1);
        // Between pixels lying wholly within [left, right] the coverage grows by s a pixel.
        const int evenFrom = std::max(int(std::ceil(left)) + 1, first + 1);
        const int evenTo = std::min(int(std::floor(right)) - 1, last);
        const float evenStep = float(d * s);
        double before = 0;
        for (int i = first; i <= last; ++i) {
            if (i >= evenFrom && i <= evenTo) {
                for (; i <= evenTo; ++i) cells[i] += evenStep;
                before = covered(i);
                if (i > last) break;
            }
            const double now = i >= right ? 1.0 : covered(i + 1);
            cells[i] += float(d * (now - before));
            before = now;
        }
        touch(row, first, last);
    };
    const auto partial
        = [&](int row) { cross(row, float(std::min(double(row + 1), bottom) - std::max(double(row), top))); };
    const int firstRow = int(top);
    const int lastRow = std::min(int(std::ceil(bottom)), height);
    // Rows crossed over their whole height: most of a long edge's.
    const int wholeFrom = int(std::ceil(top));
    const int wholeTo = std::min(int(std::floor(bottom)), lastRow);
    if (wholeFrom >= wholeTo) {
        for (int row = firstRow; row < lastRow; ++row) partial(row);
        return;
    }
    for (int row = firstRow; row < wholeFrom; ++row) partial(row);
    if (within) {
        // A steep edge within the area stays within a pixel of a row: the same sums as
        // cross() makes, without its clamps and checks (the next column is always there).
        const float d = direction;
        for (int row = wholeFrom; row < wholeTo; ++row) {
            const float next = x + slope;
            const float left = std::min(x, next), right = std::max(x, next);
            const int first = int(left);
            if (!(right - left < 1e-4f || right <= float(first + 1))) {
                cross(row, 1.0f);
                continue;
            }
            x = next;
            float* cells = all + std::size_t(row) * std::size_t(m_stride);
            const float inside = (left + right) / 2 - float(first);
            cells[first] += d * (1 - inside);
            cells[first + 1] += d * inside;
            touch(row, first, first + 1);
        }
    } else {
        for (int row = wholeFrom; row < wholeTo; ++row) cross(row, 1.0f);
    }
    for (int row = wholeTo; row < lastRow; ++row) partial(row);
}

std::vector<QRect> PLCoverageRaster::bands() const
{
    // Bands of this many rows, each spanning the columns its rows reached.
    constexpr int BandRows = 16;
    std::vector<QRect> bands;
    const int height = m_area.height();
    for (int top = 0; top < height; top += BandRows) {
        int first = m_stride, last = -1;
        const int bottom = std::min(top + BandRows, height);
        for (int row = top; row < bottom; ++row) {
            first = std::min(first, m_rowFirst[std::size_t(row)]);
            last = std::max(last, m_rowLast[std::size_t(row)]);
        }
        last = std::min(last, m_area.width() - 1);
        if (first > last) continue;
        const QRect band(m_area.x() + first, m_area.y() + top, last - first + 1, bottom - top);
        // Neighbours of much the same reach are drawn as one.
        if (!bands.empty() && bands.back().bottom() + 1 == band.top() && bands.back().left() == band.left()
            && bands.back().right() == band.right())
            bands.back().setBottom(band.bottom());
        else
            bands.push_back(band);
    }
    return bands;
}

QImage PLCoverageRaster::image(const QColor& color, const QRect& part) const
{
    const QRect within = part.intersected(m_area).translated(-m_area.topLeft());
    QImage image(within.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    const QRgb premultiplied = color.rgba64().premultiplied().toArgb32();
    // Premultiplied channels scaled by the coverage, in 8.8 fixed point.
    const quint32 a = qAlpha(premultiplied), r = qRed(premultiplied), g = qGreen(premultiplied),
                  b = qBlue(premultiplied);
    const float* all = m_accumulated->data();
    for (int row = within.top(); row <= within.bottom(); ++row) {
        const float* cells = all + std::size_t(row) * std::size_t(m_stride);
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(row - within.top()));
        const int first = m_rowFirst[std::size_t(row)], last = m_rowLast[std::size_t(row)];
        // What lies left of the part sums into its first column.
        float sum = 0;
        for (int column = std::max(first, 0); column < std::min(within.left(), last + 1); ++column)
            sum += cells[column];
        for (int column = within.left(); column <= within.right(); ++column) {
            if (column >= first && column <= last) sum += cells[column];
            const float coverage = std::clamp(sum, 0.0f, 1.0f);
            const quint32 scale = quint32(coverage * 256.0f + 0.5f);
            pixels[column - within.left()] = scale == 0
                ? 0u
                : qRgba(int((r * scale) >> 8), int((g * scale) >> 8), int((b * scale) >> 8), int((a * scale) >> 8));
        }
    }
    return image;
}
