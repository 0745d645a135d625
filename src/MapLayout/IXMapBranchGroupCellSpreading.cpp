// Placement of a branch group's box, collapse button and child groups in the three map
// layouts: around a mind-map root, to one side, and in a row below.

#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "MapLayout/IXTextCell.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The side a main branch's style gives it (0 none yet, 2 right, 3 left).
int sideOf(IXLayoutContext* context, const std::shared_ptr<IXLayoutCell>& cell)
{
    return cell->node() ? context->styleForReading(cell->node())->branchLayoutType() : 0;
}

void setSide(const std::shared_ptr<IXLayoutCell>& cell, int side)
{
    if (auto* group = dynamic_cast<IXBranchGroupCell*>(cell.get())) group->setLayoutType(side);
}

}  // namespace

void IXMapBranchGroupCell::layoutSubcellsCircular(const IXStyleNode& style)
{
    IXLayoutContext* context = this->context();
    if (!context) return;
    // A copy: giving a side re-styles a child, which must not disturb the walk.
    const IXCellList cells = this->cells();
    const int k = int(cells.size());

    // The sides read once: giving a side to one branch makes a style, which makes every
    // branch's reading style be looked up again. A given side is read back (it may not take).
    std::vector<int> sides(cells.size());
    for (int i = 0; i < k; ++i) sides[std::size_t(i)] = sideOf(context, cells[std::size_t(i)]);
    const auto give = [&](int i, int side) {
        if (sides[std::size_t(i)] == side) return;
        setSide(cells[std::size_t(i)], side);
        sides[std::size_t(i)] = sideOf(context, cells[std::size_t(i)]);
    };

    // Sides run clockwise in branch order: a leading run on the right, a trailing run on the
    // left. A given side spreads to the unassigned branches between two of its branches.
    int lastRight = -1;
    for (int i = 0; i < k; ++i)
        if (sides[std::size_t(i)] == 2) lastRight = i;
    for (int i = 0; i <= lastRight; ++i) give(i, 2);
    int firstLeft = -1;
    for (int i = 0; i < k && firstLeft < 0; ++i)
        if (sides[std::size_t(i)] == 3) firstLeft = i;
    if (firstLeft >= 0)
        for (int i = firstLeft; i < k; ++i) give(i, 3);

    // The rest are taken from both ends: the front ones go right, the back ones left while
    // the left side is not the taller (ties go left). One or two branches all go right.
    IXCellList right;
    IXCellList left;
    right.reserve(cells.size());
    left.reserve(cells.size());
    float rightHeight = 0;
    float leftHeight = 0;
    int i = 0;
    int j = k - 1;
    while (j >= i) {
        const std::shared_ptr<IXLayoutCell>& front = cells[std::size_t(i)];
        const int frontSide = sides[std::size_t(i)];
        int frontIndex = i;
        if (frontSide == 0) {
            give(i, 2);
            right.push_back(front);
            rightHeight += front->frame().height();
        } else if (frontSide == 3) {
            // Left from here on: the back walk takes it.
            frontIndex = i - 1;
        } else {
            right.push_back(front);
            rightHeight += front->frame().height();
        }
        while (frontIndex < j) {
            const std::shared_ptr<IXLayoutCell>& back = cells[std::size_t(j)];
            const int backSide = sides[std::size_t(j)];
            if (backSide == 3) {
            } else if (backSide == 0 && k > 2 && !(leftHeight > rightHeight)) {
                give(j, 3);
            } else {
                break;
            }
            left.push_back(back);
            leftHeight += back->frame().height();
            --j;
        }
        if (frontSide == 3 && j >= i) {
            // A left branch the back walk did not reach (a side that did not take): keep it
            // on the right rather than lose it.
            right.push_back(front);
            rightHeight += front->frame().height();
        }
        ++i;
    }

    if (IXBranchCell* box = branchCell()) {
        const PLSize size = box->frame().size;
        box->setOrigin(PLPoint(-std::ceil(size.width / 2), -std::ceil(size.height / 2)));
    }
    if (!left.empty()) spreadSubcells(left, true, style);
    if (!right.empty()) spreadSubcells(right, false, style);
}

// Placement runs inside layout, right after a reload brought the recorded type in line with
// the style, so the recorded type is the live one.
void IXMapBranchGroupCell::layoutSpreadSubcellsVertical(const IXStyleNode& style)
{
    spreadSubcells(cells(), m_layoutType != 2, style);
}

void IXMapBranchGroupCell::spreadSubcells(const IXCellList& cells, bool onLeft, const IXStyleNode& style)
{
    IXLayoutContext* context = this->context();
    IXNode* node = this->node();
    if (!context || !node) return;
    const int level = node->level();
    const bool isMapRoot = m_layoutType == 1 && level == 0;
    const float gapV = IXGeometryLimits::gapVertical(style);
    const float gapH = IXGeometryLimits::gapHorizontal(style);
    const bool offsets = level == 0 && style.documentLayoutCustom();
    const auto offsetOf = [&](IXLayoutCell* cell) {
        return offsets && cell->node() ? IXGeometryLimits::branchParentOffset(*context->styleForReading(cell->node())) : PLPoint();
    };
    const int k = int(cells.size());

    float total = 0;
    for (const auto& cell : cells) total += cell->frame().height();
    if (k > 0) total += float(k - 1) * gapV;

    IXBranchCell* box = branchCell();
    PLSize boxSize;
    if (box) boxSize = level == 0 ? box->frame().size : box->boxFrame().size;
    const float dir = onLeft ? -1 : 1;
    const float xs = onLeft ? 0 : boxSize.width;

    float anchor = 0;
    switch (style.branchBaseline()) {
    case 0:
        if (box && box->titleCell()) anchor = box->titleCell()->frame().origin.y;
        break;
    case 1: anchor = std::floor(boxSize.height / 2); break;
    case 2: anchor = boxSize.height; break;
    default: break;
    }

    if (IXLayoutCell* button = collapseCell()) {
        const PLSize size = button->frame().size;
        float x;
        if (style.branchCollapserType() == 1) {
            x = 7 * dir - std::floor(size.width / 2);
        } else {
            const double distance = std::min(std::ceil(0.4 * double(gapH)), std::ceil(2.0 * double(size.width)));
            x = float(dir * distance) - std::floor(size.width / 2);
        }
        button->setOrigin(PLPoint(x, -std::floor(size.height / 2)));
    }

    if (!isMapRoot && box) box->setOrigin(PLPoint(-xs, -anchor));

    if (k == 0) return;
    float x0 = dir * gapH;
    if (isMapRoot) x0 += std::ceil(boxSize.width / 2) * dir;
    IXLayoutCell* first = cells.front().get();
    IXLayoutCell* last = cells.back().get();
    // The distance between the first and the last child's anchors, centred on this anchor.
    const float span = total - (first->bounds().origin.y + first->frame().height()) + last->bounds().origin.y;
    float y = last->bounds().origin.y - std::ceil(span / 2);
    if (k == 1) y += std::floor(gapV / 2);
    for (int i = k - 1; i >= 0; --i) {
        IXLayoutCell* cell = cells[std::size_t(i)].get();
        const PLSize size = cell->frame().size;
        const PLPoint offset = offsetOf(cell);
        // An offset may push a child further out, never in towards the parent.
        const float x = dir > 0 ? std::max(x0, x0 + offset.x) : std::min(x0 + offset.x - size.width, x0 - size.width);
        cell->setOrigin(PLPoint(x, y + offset.y));
        y += gapV + size.height;
    }
}

void IXMapBranchGroupCell::layoutSpreadSubcellsHorizontal(const IXStyleNode& style)
{
    IXLayoutContext* context = this->context();
    IXNode* node = this->node();
    if (!context || !node) return;
    const float gapV = IXGeometryLimits::gapVertical(style);
    const float gapH = IXGeometryLimits::gapHorizontal(style);
    const bool offsets = node->level() == 0 && style.documentLayoutCustom();
    const IXCellList& cells = this->cells();
    const int k = int(cells.size());

    float total = 0;
    for (const auto& cell : cells) total += cell->frame().width();
    if (k > 0) total += float(k - 1) * gapH;

    if (IXLayoutCell* button = collapseCell()) {
        const PLSize size = button->frame().size;
        const double distance = std::min(std::ceil(0.4 * double(gapV)), std::ceil(2.0 * double(size.width)));
        button->setOrigin(PLPoint(-std::floor(size.width / 2), float(-distance) - std::floor(size.height / 2)));
    }
    if (IXBranchCell* box = branchCell()) box->setOrigin(PLPoint(-std::ceil(box->frame().width() / 2), 0));

    float x = -std::ceil(total / 2);
    for (int i = 0; i < k; ++i) {
        IXLayoutCell* cell = cells[std::size_t(i)].get();
        const PLSize size = cell->frame().size;
        const PLPoint offset =
            offsets && cell->node() ? IXGeometryLimits::branchParentOffset(*context->styleForReading(cell->node())) : PLPoint();
        // Rows hang gapV below the anchor; an offset may only push a child further down.
        cell->setOrigin(PLPoint(x + offset.x, std::min(-gapV - size.height + offset.y, -gapV - size.height)));
        x += gapH + size.width;
    }
}
