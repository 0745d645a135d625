#pragma once

#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXTimelineInterval.h"
#include "Platform/Drawing/PLColor.h"
#include "Utilities/UTDateTime.h"

#include <QHash>

#include <memory>
#include <vector>

class IXBranchGroupCell;
class IXBranchNode;
class IXTimelineBarCell;
class IXTimelineBranchCell;
class IXTimelineRulerCell;

// The single cell of the timeline layout, over the document node: every dated branch stands
// as a timeline branch cell above a horizontal time axis (y = 0 of this cell's space) at the x
// of its begin date; a branch with an end date gets a duration bar below the axis; ruler
// pieces (y -32 to 0) carry the time labels, one per piece of the axis between time breaks;
// the root branch's title stands centred above everything.
//
// The time scale is the document's (0 calendar, 1 days, 2 weeks, 3 historic, 4 geological);
// the wanted length and the switches (level display, title, bars, time breaks) are the
// document style's "document.layout.timeline.*" attributes.
//
// Ownership: the cell owns its branch, bar and ruler cells and the root title cell, and
// invalidates them in invalidate(). Branch cells and bars are reused by node across reloads;
// branch cells (not bars or rulers) are registered with the context by node. The layout
// context makes the cell (through the factory), calls reloadBranches at its branch reloads
// and takes the four cell lists into its stacks. Main thread only.
class IXTimelineCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXTimelineCell() override;

    // The wanted length in pixels (the document style's timeline scale), and its range.
    int timelineLength();
    void setTimelineLength(int length);
    // Lay out first when needed.
    int timelineLengthMin();
    int timelineLengthMax();

    // Rebuilds the branch cells, bars, dates and the root title cell from the document.
    virtual void reloadBranches();
    // The pieces of the time axis, in order.
    virtual IXCellList rulerCells() const;
    // The duration bars, in order (none while bars are switched off).
    virtual IXCellList bandsCells() const;
    // The dated branches, by begin date.
    virtual std::vector<std::shared_ptr<IXBranchGroupCell>> branchGroupCells() const;
    // The root branch's title, or null.
    virtual IXBranchGroupCell* rootBranchCell() const;

    // The fill of the box of a branch that has a bar: greys 1.0, 0.85 and 0.70 in turn by
    // the bar's order; no colour for others.
    PLColor shadingColorForCell(IXLayoutCell* cell) const;

    // --- Time and x (valid after layout; a programming error before) ---
    double secondsPerPixel() const { return m_secondsPerPixel; }
    // The begin of the piece that holds the moment.
    qint64 startSecondsAtInterval(qint64 seconds) const;
    // The moment shown at x, and the x of a moment.
    qint64 baseSecondsAtOrigin(float x) const;
    float originAtBaseSeconds(qint64 seconds) const;

    const std::vector<IXTimelineInterval>& intervals() const { return m_intervals; }
    // The begin dates and the bars' last end dates, sorted, padded to at least two.
    const std::vector<UTDateTime>& dates() const { return m_dates; }
    const std::vector<std::shared_ptr<IXTimelineBranchCell>>& branchCells() const { return m_branches; }
    const std::vector<std::shared_ptr<IXTimelineBarCell>>& barCells() const { return m_bars; }
    const std::vector<std::shared_ptr<IXTimelineRulerCell>>& rulers() const { return m_rulers; }

    void invalidate() override;
    void invalidateLayoutForCell(IXLayoutCell* cell) override;
    void invalidateLayout() override;
    void layout() override;
    void draw(PLGraphicsContext& graphics) override;

private:
    void reloadBranch(IXBranchNode* branch, bool recursive);
    void padDates();
    void layoutTimeline();
    void initIntervals();
    void setupScale();
    void buildIntervals();
    void compactIntervals();
    void positionBranches();
    void positionRules();
    const IXTimelineInterval& intervalAtSeconds(qint64 seconds) const;
    void checkScale() const;

    void drawBackground(PLGraphicsContext& graphics);
    void drawGrid(PLGraphicsContext& graphics);
    void drawTimelineBreaks(PLGraphicsContext& graphics);
    void drawArrows(PLGraphicsContext& graphics);
    void drawBarArrow(PLGraphicsContext& graphics, IXTimelineBarCell* bar, bool selected);
    void drawCellArrow(PLGraphicsContext& graphics, IXTimelineBranchCell* cell, bool selected);

    std::vector<std::shared_ptr<IXTimelineBranchCell>> m_branches;
    std::vector<std::shared_ptr<IXTimelineBarCell>> m_bars;
    std::vector<std::shared_ptr<IXTimelineRulerCell>> m_rulers;
    // During a reload: the previous cells, taken out by node as they are reused.
    QHash<IXNode*, std::shared_ptr<IXTimelineBranchCell>> m_branchesCache;
    QHash<IXNode*, std::shared_ptr<IXTimelineBarCell>> m_barsCache;
    // The position of each bar's node in m_bars, for the shading.
    QHash<const IXNode*, int> m_barIndex;
    bool m_showsBars = false;
    bool m_loaded = false;
    bool m_needsReload = false;
    std::vector<UTDateTime> m_dates;
    std::vector<IXTimelineInterval> m_intervals;
    double m_secondsPerPixel = 0;
    qint64 m_stepSeconds = UTDateTime::SecondsPerDay;
    float m_maxTimelineLength = 1000;
    float m_minTimelineLength = 200;
    std::shared_ptr<IXTimelineBranchCell> m_rootBranchCell;
};
