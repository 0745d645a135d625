#pragma once

// A width and height in 32-bit float points.
struct PLSize {
    float width = 0;
    float height = 0;

    constexpr PLSize() = default;
    constexpr PLSize(float w, float h) : width(w), height(h) {}

    constexpr bool operator==(const PLSize&) const = default;
};
