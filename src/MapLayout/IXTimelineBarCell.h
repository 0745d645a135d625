#pragma once

#include "MapLayout/IXLayoutCell.h"

#include <QString>

#include <optional>

// The duration bar of a branch that has a begin and an end date, below the timeline's axis:
// a band from the begin date to the end date, filled like the branch's box, with the title
// over the dates. A click selects the branch (shift toggles it); resting the pointer on the
// bar for half a second shows "title (dates)" in the shared info tag.
//
// The timeline cell makes it (not registered with the context), sets its frame (24 high, at
// least 100 wide, 2 units right of the begin date) and owns it. Its texts are taken at the
// first draw after each layout invalidation. Orders by begin date, then by end date.
class IXTimelineBarCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXTimelineBarCell() override;

    static constexpr int TooltipDelayMilliseconds = 500;

    // -1, 0 or 1.
    int compare(const IXTimelineBarCell& other) const;

    void invalidate() override;
    void invalidateLayout() override;
    void draw(PLGraphicsContext& graphics) override;
    bool hitTest(PLPoint point) override;
    bool trackMouse(const PLMouseEvent& event) override;
    bool acceptsMouseMoves(const PLMouseEvent&) override { return true; }
    void mouseEntered(const PLMouseEvent& event) override;
    void mouseExited(const PLMouseEvent& event) override;

    // The texts as last drawn (none before the first draw after an invalidation).
    const std::optional<QString>& titleText() const { return m_titleText; }
    const std::optional<QString>& datesText() const { return m_datesText; }
    bool isTooltipPosted() const { return m_showTooltipPosted; }

private:
    void makeTexts();
    void cleanupDelayedShows();
    void showTooltip();

    std::optional<QString> m_titleText;
    std::optional<QString> m_datesText;
    bool m_showTooltipPosted = false;
};
