#pragma once

// Checks the layout context's look-ups of cells by rectangle and point against the flat stacks.

#include "IXLayoutTestSupport.h"

#include <algorithm>
#include <cmath>
#include <vector>

// What the look-ups by rectangle and point find (walking the groups) against a plain filter of
// the flat stacks: a grid of rectangles over the map, and points at and beside every drawn
// cell's corners and middle. Labels of the differing look-ups are returned, none when all agree.
inline QStringList lookUpsDifferingFromTheStacks(IXLayoutContext* context)
{
    QStringList differing;
    auto canvasRect = [](IXLayoutCell* cell) {
        const PLRect r = cell->convertRectToCell(cell->bounds(), nullptr);
        return PLRect(std::min(r.minX(), r.maxX()), std::min(r.minY(), r.maxY()), std::abs(r.width()),
                      std::abs(r.height()));
    };
    std::vector<IXLayoutCell*> drawn;
    for (const auto& cell : context->drawStack())
        if (cell->parent() != context->selectionLayer()) drawn.push_back(cell.get());
    std::vector<IXLayoutCell*> hit;
    for (const auto& cell : context->hitStack()) hit.push_back(cell.get());
    const PLRect all = context->visibleCellsBounds().insetBy(-30, -30);
    constexpr int Tiles = 7;
    for (int row = 0; row < Tiles; ++row) {
        for (int column = 0; column < Tiles; ++column) {
            const PLRect tile(all.minX() + all.width() * column / Tiles, all.minY() + all.height() * row / Tiles,
                              all.width() / Tiles, all.height() / Tiles);
            std::vector<IXLayoutCell*> expected;
            for (IXLayoutCell* cell : drawn) {
                const PLRect r = canvasRect(cell);
                if (!r.isEmpty() && r.intersects(tile)) expected.push_back(cell);
            }
            const PLRect inView = context->coordinates().convertRectFromCell(tile, nullptr);
            if (context->drawCandidatesInRect(inView).cells != expected)
                differing << QStringLiteral("rect %1 %2").arg(row).arg(column);
        }
    }
    for (IXLayoutCell* cell : drawn) {
        const PLRect r = canvasRect(cell);
        for (const PLPoint at : {PLPoint(r.minX(), r.minY()), PLPoint(r.maxX(), r.maxY()), PLPoint(r.midX(), r.midY()),
                                 PLPoint(r.maxX() + 0.5f, r.midY()), PLPoint(r.minX(), r.maxY() + 3)}) {
            const PLPoint inView = context->coordinates().convertPointFromCell(at, nullptr);
            const PLPoint p = context->coordinates().transViewToCanvas().transformPoint(inView);
            const float slack = 0.01f + 1e-5f * (std::abs(p.x) + std::abs(p.y));
            std::vector<IXLayoutCell*> expected;
            for (auto it = hit.rbegin(); it != hit.rend(); ++it) {
                const PLRect h = canvasRect(*it);
                if (!h.isEmpty() && p.x >= h.minX() - slack && p.x <= h.maxX() + slack && p.y >= h.minY() - slack
                    && p.y <= h.maxY() + slack)
                    expected.push_back(*it);
            }
            if (context->hitCandidatesAt(inView).cells != expected)
                differing << QStringLiteral("point beside ") + labelOf(cell);
        }
    }
    return differing;
}
