#pragma once

#include "Platform/Drawing/PLRect.h"

#include <functional>
#include <optional>
#include <vector>

// Stacks the timeline's cells so that none overlaps an earlier one: branch boxes upward from
// y = 20 (keeping 8 units to the right of and above earlier boxes), duration bars downward
// from y = -70 in rows of 24 and 4 between. The candidates come in placement order with
// their x already set, which never decreases; each result is the y of one candidate.
//
// The first-fit rule is defined by the plain loop (move past the first earlier cell that
// overlaps and test every earlier cell again), which is quadratic or worse; the indexed
// versions give the same positions in O(n log n): cells that no longer reach the current x
// leave a heap, and the free places among the rest come from a row index.
class IXTimelinePlacement {
public:
    static constexpr float BranchBottom = 20;
    static constexpr float BranchSpacing = 8;
    static constexpr float BarTop = -70;
    static constexpr float BarHeight = 24;
    static constexpr float BarSpacing = 4;

    // Candidates are the boxes' frames (their y is ignored).
    static std::vector<float> stackBranches(const std::vector<PLRect>& candidates);
    static std::vector<float> stackBranchesPlain(const std::vector<PLRect>& candidates);
    // Candidates are the bars' frames, BarHeight high (their y is ignored).
    static std::vector<float> stackBars(const std::vector<PLRect>& candidates);
    static std::vector<float> stackBarsPlain(const std::vector<PLRect>& candidates);

private:
    // The y past an earlier cell that overlaps the candidate, or nothing.
    using MoveFunction = std::function<std::optional<float>(const PLRect& earlier, const PLRect& candidate)>;
    // Each candidate from the start y, moved past the first overlapping earlier cell and
    // tested against every earlier cell again until none overlaps.
    static std::vector<float> firstFitPlain(const std::vector<PLRect>& candidates, float start, const MoveFunction& moveAway);
    static bool isOrderedByX(const std::vector<PLRect>& candidates);
};
