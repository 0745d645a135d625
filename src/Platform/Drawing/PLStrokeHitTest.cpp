#include "Platform/Drawing/PLStrokeHitTest.h"

#include <cmath>

namespace PLStrokeHitTest {

namespace {

double evaluate(const Quintic& p, double x)
{
    double value = 0;
    for (double c : p) value = value * x + c;
    return value;
}

}  // namespace

bool point_is_in_stroked_line(PLPoint x, double width, PLPoint a, PLPoint b)
{
    if (a == b) return false;
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double u = ((double(x.x) - a.x) * dx + (double(x.y) - a.y) * dy) / (dx * dx + dy * dy);
    if (u < 0 || u > 1) return false;
    const double px = a.x + u * dx - x.x, py = a.y + u * dy - x.y;
    return std::sqrt(px * px + py * py) <= width * 0.5;
}

bool point_is_in_line_cap(PLPoint e, PLPoint m, PLPoint x, int cap, double width)
{
    switch (cap) {
    case 1: return std::hypot(double(x.x) - e.x, double(x.y) - e.y) <= width * 0.5;
    case 2: {
        const double dx = double(e.x) - m.x, dy = double(e.y) - m.y;
        const double length = std::hypot(dx, dy);
        // A segment of no length has no direction to push the end along.
        if (length == 0) return false;
        const double push = width * 0.5 / length;
        const PLPoint pushed(float(e.x + dx * push), float(e.y + dy * push));
        return point_is_in_stroked_line(x, width, pushed, m);
    }
    default: return false;
    }
}

int sign_changes_right_of(const Quintic& p, double x)
{
    // Taylor shift by x: repeated synthetic division gives the coefficients of p(x + s).
    Quintic c = p;
    const int n = 5;
    for (int i = 0; i < n; ++i)
        for (int j = 1; j <= n - i; ++j) c[size_t(j)] += x * c[size_t(j - 1)];
    int changes = 0;
    int previous = 0;
    for (double v : c) {
        const int sign = v > 0 ? 1 : v < 0 ? -1 : 0;
        if (sign == 0) continue;
        if (previous != 0 && sign != previous) ++changes;
        previous = sign;
    }
    return changes;
}

int solve_r(const Quintic& p, std::vector<double>& roots, int depth, double a, double b)
{
    int found = 0;
    double m = (a + b) / 2;
    for (;;) {
        if (sign_changes_right_of(p, a) == sign_changes_right_of(p, b)) return found;
        m = (a + b) / 2;
        if (b - a < 1e-8 || depth > 39) break;
        ++depth;
        found += solve_r(p, roots, depth, a, m);
        a = m;
    }
    const double pa = evaluate(p, a), pb = evaluate(p, b);
    if (pa == 0) roots.push_back(a);
    else if (pb == 0) roots.push_back(b);
    else if (pa * pb > 0) return found;
    else roots.push_back(m);
    return found + 1;
}

Quintic nearestPointPolynomial(PLPoint p0, PLPoint c1, PLPoint c2, PLPoint p3, PLPoint x)
{
    Quintic q{};
    auto axis = [&q](double P0, double P1, double P2, double P3, double X) {
        const double a = -P0 + 3 * P1 - 3 * P2 + P3;
        const double b = 3 * P0 - 6 * P1 + 3 * P2;
        const double c = -3 * P0 + 3 * P1;
        const double d = P0 - X;
        q[0] += 3 * a * a;
        q[1] += 5 * a * b;
        q[2] += 4 * a * c + 2 * b * b;
        q[3] += 3 * b * c + 3 * a * d;
        q[4] += c * c + 2 * b * d;
        q[5] += c * d;
    };
    axis(p0.x, c1.x, c2.x, p3.x, x.x);
    axis(p0.y, c1.y, c2.y, p3.y, x.y);
    return q;
}

}  // namespace PLStrokeHitTest
