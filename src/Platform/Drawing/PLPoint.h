#pragma once

// A point in a y-up coordinate space, in 32-bit float points.
struct PLPoint {
    float x = 0;
    float y = 0;

    constexpr PLPoint() = default;
    constexpr PLPoint(float px, float py) : x(px), y(py) {}

    constexpr bool operator==(const PLPoint&) const = default;
    constexpr PLPoint operator+(const PLPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr PLPoint operator-(const PLPoint& o) const { return {x - o.x, y - o.y}; }
};
