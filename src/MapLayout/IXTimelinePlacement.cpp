#include "MapLayout/IXTimelinePlacement.h"

#include "MapLayout/IXTimelineRowIndex.h"

#include <cstdint>
#include <functional>
#include <queue>
#include <set>
#include <utility>

namespace {
// An earlier box as the overlap test sees it: enlarged by the spacing.
PLRect spaced(const PLRect& frame)
{
    return PLRect(frame.origin.x, frame.origin.y, frame.size.width + IXTimelinePlacement::BranchSpacing,
                  frame.size.height + IXTimelinePlacement::BranchSpacing);
}

// Earlier cells by the right edge where they stop reaching later candidates.
using Expiry = std::priority_queue<std::pair<float, std::size_t>, std::vector<std::pair<float, std::size_t>>,
                                   std::greater<>>;
}

std::vector<float> IXTimelinePlacement::firstFitPlain(const std::vector<PLRect>& candidates, float start,
                                                      const MoveFunction& moveAway)
{
    std::vector<PLRect> placed;
    placed.reserve(candidates.size());
    std::vector<float> result;
    result.reserve(candidates.size());
    for (PLRect frame : candidates) {
        frame.origin.y = start;
        for (std::size_t j = 0; j < placed.size();) {
            if (const std::optional<float> y = moveAway(placed[j], frame)) {
                frame.origin.y = *y;
                j = 0;
            } else {
                ++j;
            }
        }
        placed.push_back(frame);
        result.push_back(frame.origin.y);
    }
    return result;
}

bool IXTimelinePlacement::isOrderedByX(const std::vector<PLRect>& candidates)
{
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        if (candidates[i].origin.x < candidates[i - 1].origin.x) return false;
    }
    return true;
}

std::vector<float> IXTimelinePlacement::stackBranchesPlain(const std::vector<PLRect>& candidates)
{
    return firstFitPlain(candidates, BranchBottom, [](const PLRect& other, const PLRect& frame) -> std::optional<float> {
        const PLRect reach = spaced(other);
        if (!reach.intersects(frame)) return std::nullopt;
        return reach.maxY();
    });
}

std::vector<float> IXTimelinePlacement::stackBranches(const std::vector<PLRect>& candidates)
{
    // The index relies on every box having been moved clear of the boxes before it, which an
    // empty box (it overlaps nothing) is not; such timelines take the plain way.
    bool anyEmpty = false;
    for (const PLRect& frame : candidates) anyEmpty = anyEmpty || frame.isEmpty();
    if (anyEmpty || !isOrderedByX(candidates)) return stackBranchesPlain(candidates);

    IXTimelineRowIndex rows(BranchBottom);
    Expiry expiry;
    std::vector<PLRect> placed;
    placed.reserve(candidates.size());
    std::vector<float> result;
    result.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        PLRect frame = candidates[i];
        while (!expiry.empty() && expiry.top().first <= frame.origin.x) {
            const std::size_t gone = expiry.top().second;
            expiry.pop();
            rows.remove(placed[gone].origin.y, std::int64_t(gone));
        }
        frame.origin.y = rows.lowestFreeY(frame.size.height);
        placed.push_back(frame);
        result.push_back(frame.origin.y);
        const PLRect reach = spaced(frame);
        rows.insert(reach.minY(), reach.maxY(), std::int64_t(i));
        expiry.emplace(reach.maxX(), i);
    }
    return result;
}

std::vector<float> IXTimelinePlacement::stackBarsPlain(const std::vector<PLRect>& candidates)
{
    return firstFitPlain(candidates, BarTop, [](const PLRect& other, const PLRect& frame) -> std::optional<float> {
        if (!other.intersects(frame)) return std::nullopt;
        return other.origin.y - BarHeight - BarSpacing;
    });
}

std::vector<float> IXTimelinePlacement::stackBars(const std::vector<PLRect>& candidates)
{
    // Bars are all one height, so they sit in rows BarHeight + BarSpacing apart and only a
    // bar in the same row can overlap: the place is the lowest row no reaching bar holds.
    bool uniform = isOrderedByX(candidates);
    for (const PLRect& frame : candidates) uniform = uniform && frame.size.height == BarHeight && !frame.isEmpty();
    if (!uniform) return stackBarsPlain(candidates);

    std::set<std::int64_t> freeRows;
    std::int64_t rowCount = 0;
    std::vector<std::int64_t> rowOf(candidates.size());
    std::vector<float> rowY{BarTop};
    Expiry expiry;
    std::vector<float> result;
    result.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const PLRect& frame = candidates[i];
        while (!expiry.empty() && expiry.top().first <= frame.origin.x) {
            freeRows.insert(rowOf[expiry.top().second]);
            expiry.pop();
        }
        std::int64_t row = rowCount;
        if (!freeRows.empty()) {
            row = *freeRows.begin();
            freeRows.erase(freeRows.begin());
        } else {
            ++rowCount;
        }
        rowOf[i] = row;
        // Row by row, as the plain loop steps, so that the float positions are the same.
        while (std::int64_t(rowY.size()) <= row) rowY.push_back(rowY.back() - BarHeight - BarSpacing);
        const float y = rowY[std::size_t(row)];
        result.push_back(y);
        expiry.emplace(PLRect(frame.origin.x, y, frame.size.width, frame.size.height).maxX(), i);
    }
    return result;
}
