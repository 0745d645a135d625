#include "Platform/Drawing/PLPathCutting.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The stretch [t0, t1] of the segment from a to b inside keep (Liang-Barsky), or false.
bool stretchInside(PLPoint a, PLPoint b, const PLRect& keep, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(a.x) - keep.minX(), double(keep.maxX()) - a.x, double(a.y) - keep.minY(),
                         double(keep.maxY()) - a.y};
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(q[i])) return false;
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, r);
        else t1 = std::min(t1, r);
    }
    return t0 <= t1;
}

PLPoint pointAt(PLPoint a, PLPoint b, double t)
{
    return PLPoint(float(a.x + (double(b.x) - a.x) * t), float(a.y + (double(b.y) - a.y) * t));
}

}  // namespace

PLBezierPath PLPathCutting::cutToRect(const PLBezierPath& path, const PLRect& keep)
{
    using ElementType = PLBezierPath::ElementType;
    using Element = PLBezierPath::Element;
    // The kept pieces of the current subpath, each from a move; closed when nothing was cut.
    std::vector<std::vector<Element>> pieces;
    PLBezierPath cut = path;
    cut.removeAllPoints();
    PLPoint current, subpathStart;
    // Whether the last piece ends at current, so that the next element continues it.
    bool penAtCurrent = false;
    // Whether nothing of the current subpath was left out (its close is kept then).
    bool whole = true;
    // Whether the subpath's first piece begins at its start (a join there when it closes).
    bool firstPieceAtStart = false;

    const auto begin = [&](PLPoint from) {
        if (pieces.empty() && from == subpathStart) firstPieceAtStart = true;
        pieces.push_back({Element{ElementType::MoveTo, {from, PLPoint(), PLPoint()}}});
    };
    const auto line = [&](PLPoint to) {
        double t0 = 0, t1 = 1;
        if (!stretchInside(current, to, keep, t0, t1)) {
            penAtCurrent = false;
            whole = false;
            return;
        }
        if (t0 > 0) {
            begin(pointAt(current, to, t0));
            whole = false;
        } else if (!penAtCurrent) {
            begin(current);
        }
        pieces.back().push_back(Element{ElementType::LineTo, {t1 < 1 ? pointAt(current, to, t1) : to, PLPoint(), PLPoint()}});
        penAtCurrent = t1 >= 1;
        if (!penAtCurrent) whole = false;
    };
    const auto flush = [&] {
        for (const auto& piece : pieces) {
            for (const Element& e : piece) {
                switch (e.type) {
                case ElementType::MoveTo: cut.moveToPoint(e.points[0]); break;
                case ElementType::LineTo: cut.lineToPoint(e.points[0]); break;
                case ElementType::CurveTo: cut.curveToPoint(e.points[2], e.points[0], e.points[1]); break;
                case ElementType::ClosePath: cut.closePath(); break;
                }
            }
        }
        pieces.clear();
        firstPieceAtStart = false;
    };

    for (const Element& element : path.elements()) {
        switch (element.type) {
        case ElementType::MoveTo:
            flush();
            current = subpathStart = element.points[0];
            penAtCurrent = false;
            whole = true;
            break;
        case ElementType::LineTo:
            line(element.points[0]);
            current = element.points[0];
            break;
        case ElementType::CurveTo: {
            const PLPoint& c1 = element.points[0];
            const PLPoint& c2 = element.points[1];
            const PLPoint& to = element.points[2];
            const auto [minX, maxX] = std::minmax({current.x, c1.x, c2.x, to.x});
            const auto [minY, maxY] = std::minmax({current.y, c1.y, c2.y, to.y});
            if (maxX >= keep.minX() && minX <= keep.maxX() && maxY >= keep.minY() && minY <= keep.maxY()) {
                if (!penAtCurrent) begin(current);
                pieces.back().push_back(element);
                penAtCurrent = true;
            } else {
                penAtCurrent = false;
                whole = false;
            }
            current = to;
            break;
        }
        case ElementType::ClosePath:
            if (whole) {
                if (penAtCurrent) pieces.back().push_back(element);
            } else {
                line(subpathStart);
                // Back at the start inside the rectangle: the first piece continues the last,
                // so that the corner there is joined as in the closed path.
                if (penAtCurrent && firstPieceAtStart && pieces.size() > 1) {
                    pieces.back().insert(pieces.back().end(), pieces.front().begin() + 1, pieces.front().end());
                    pieces.erase(pieces.begin());
                }
                // What follows a close starts at the subpath's start, in a piece of its own.
                flush();
                penAtCurrent = false;
            }
            current = subpathStart;
            break;
        }
    }
    flush();
    return cut;
}
