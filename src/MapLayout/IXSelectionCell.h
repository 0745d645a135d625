#pragma once

#include "MapLayout/IXLayoutCell.h"

#include <optional>
#include <vector>

class IXConnectionCell;

// The selection of one selected node on the canvas: a dashed outline with knobs around a
// branch box, floating picture or floating text, or a dashed double line with four handles
// along a connection. Dragging a knob resizes the target through IXSelectionCell_Resizing
// (one undoable change per drag); dragging a connection's control handle reshapes its curve,
// and dragging an end handle onto a branch moves that end there.
//
// The context makes one per selected node in its selection layer; the cell looks its target
// up at layout and never hits (point queries look through it), but takes a mouse-down on one
// of its knobs. The target is not owned: it is looked up again at each layout. Drags run a
// nested tracking loop (PLMouseTracking) until the button goes up.
class IXSelectionCell : public IXLayoutCell {
public:
    // The kind of target, which decides the knobs.
    enum Mode : int {
        ModeNone = 0,
        ModeBranch = 1,            // a branch without a picture: width only
        ModeBranchWithPicture = 2, // eight knobs
        ModePicture = 3,           // a floating picture: eight knobs
        ModeText = 4,              // a floating text: width only
        ModeConnection = 5,        // the connection's four handles
    };

    using IXLayoutCell::IXLayoutCell;
    ~IXSelectionCell() override;

    Mode mode() const { return m_mode; }
    IXLayoutCell* targetCell() const { return m_cell; }
    bool isFocused() const { return m_focused; }

    // The knobs (1-8) that the mode shows, in drawing and hit order.
    std::vector<int> knobs() const;
    // Knob k of the rectangle: 1 (min x, min y), 2 (min x, mid y), 3 (min x, max y), 4 (mid
    // x, min y), 5 (mid x, max y), 6 (max x, min y), 7 (max x, mid y), 8 (max x, max y).
    static PLPoint knobPoint(const PLRect& rect, int knob);
    // The grab area of a knob at the point: 8 view pixels square, in this cell's space.
    PLRect knobRectAtPoint(PLPoint point);
    // The outline's rectangle in this cell's space (the bounds less the 4-unit margin).
    PLRect outlineRect();

    void invalidateLayout() override;
    void layout() override;
    void draw(PLGraphicsContext& graphics) override;
    bool hitTest(PLPoint) override { return false; }
    bool trackMouse(const PLMouseEvent& event) override;

    // Whether a knob was hit and its resize tracked.
    bool resizeWithEvent(const PLMouseEvent& event);
    // Whether a connection handle was hit and its drag tracked.
    bool curveChangeWithEvent(const PLMouseEvent& event);

private:
    void drawSelectionInRect(PLGraphicsContext& graphics, const PLRect& rect, bool highlight);
    void drawKnobsInRect(PLGraphicsContext& graphics, const PLRect& rect);
    void drawKnobAtPoint(PLGraphicsContext& graphics, PLPoint point);
    void drawConnectionSelection(PLGraphicsContext& graphics, IXConnectionCell* connection);
    void resizeWithKnob(int knob, const PLMouseEvent& event);
    // The connection's handles in this cell's space.
    std::optional<std::vector<PLPoint>> connectionPoints(IXConnectionCell* connection);

    IXLayoutCell* m_cell = nullptr;
    Mode m_mode = ModeNone;
    bool m_focused = false;
};
