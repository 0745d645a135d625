#pragma once

#include <algorithm>

// A range of UTF-16 code units in a text: a start and a length. Ranges that run past a text
// are clipped by the operations that take them, never by the range itself.
struct PLRange {
    int location = 0;
    int length = 0;

    constexpr PLRange() = default;
    constexpr PLRange(int loc, int len) : location(loc), length(len) {}

    constexpr bool operator==(const PLRange&) const = default;

    constexpr int end() const { return location + length; }
    constexpr bool isEmpty() const { return length <= 0; }
    constexpr bool contains(int index) const { return index >= location && index < end(); }

    // The overlap of two ranges; an empty range at the later start when they do not meet.
    constexpr PLRange intersected(const PLRange& other) const
    {
        const int start = std::max(location, other.location);
        const int stop = std::min(end(), other.end());
        return stop > start ? PLRange(start, stop - start) : PLRange(start, 0);
    }
};
