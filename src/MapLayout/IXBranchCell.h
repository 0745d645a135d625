#pragma once

#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXSelectionCell_Resizing.h"

#include <QImage>

class IXBranchNode;
class IXIconsCell;
class IXPictureCell;
class IXTextCell;

// The box of one branch in the map, left-right, top-down and timeline layouts: the title, the
// row of icons, up to three indicators (note, attachments, outline), the picture and the frame
// shape around them. The branch group cell makes it (through the cell factory), places it and
// reads its bounds, boxFrame and titleCell to attach lines and sub-branches.
//
// Sub-cells: the title lives as long as the cell; icons, indicators and picture follow the
// node at the start of every layout (reload). They are the cell's own (not in a group):
// their frames are in this cell's space, and the cell displays them. The picture cell is
// registered with the context under its picture node. Indicator cells are plain cells of the
// branch node, 10 units high and as wide as their picture's proportions give; the cell draws
// their pictures ("canvas_*_indicator", read once per process).
//
// Layout: a title row (icons, title, indicators from x 0) with the picture centred above it,
// either inside the frame shape (the bounds are the framed union plus a margin of 10 for a
// root, 2 for others) or above the framed box (2 apart). Rows narrower than the document's
// minimum branch length are centred in it. All in the cell's y-up space. Main thread only.
class IXBranchCell : public IXLayoutCell, public IXSelectionCell_Resizing {
public:
    // Branch text width used when the style sets none, and the widest a title row narrows to.
    static constexpr float DefaultTextWidth = 400;
    static constexpr float MaxTitleWidth = 700;
    static constexpr float IndicatorHeight = 10;
    // Bounds of the picture size set by resizing.
    static constexpr float MinResizedPicture = 20;
    static constexpr float MaxResizedPicture = 400;

    IXBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node);
    ~IXBranchCell() override;

    IXBranchNode* branchNode() const;
    virtual IXTextCell* titleCell() const { return m_titleCell.get(); }
    IXPictureCell* pictureCell() const { return m_pictureCell.get(); }
    IXIconsCell* iconsCell() const { return m_iconsCell.get(); }
    IXLayoutCell* commentCell() const { return m_commentCell.get(); }
    IXLayoutCell* attachmentsCell() const { return m_attachmentsCell.get(); }
    IXLayoutCell* outlineCell() const { return m_outlineCell.get(); }
    // The box of the title row after the last layout (framed, and as wide as the bounds when
    // the picture is outside).
    virtual PLRect boxFrame() const { return m_boxFrame; }
    // Whether the picture lies inside the frame shape.
    bool isPictureInsideBounds();

    // The shared indicator pictures; a missing one is a programming error.
    static const QImage& attachmentsIndicator();
    static const QImage& noteIndicator();
    static const QImage& outlineIndicator();

    // Brings the sub-cells in line with the node (the cell must have one: "bnode").
    void reload();

    void invalidate() override;
    void invalidateLayout() override;
    void layout() override;
    void display(PLGraphicsContext& graphics) override;
    void draw(PLGraphicsContext& graphics) override;
    bool hitTest(PLPoint point) override;

    // --- Mouse (IXBranchCellMouse.cpp) ---
    // Hovering an indicator for 0.2 s opens its balloon or note; a press selects, toggles (Shift),
    // drags (held or dragged), opens an indicator, edits the title of a selected branch or,
    // doubled, adds a sub-branch (on the picture with Shift: shows it in the quick viewer).
    // Tools start by class name with the branch node ("IXDragBranchTool" finds the dragged
    // box as the context's branchCellForNode of it).
    bool acceptsMouseMoves(const PLMouseEvent&) override { return true; }
    void mouseExited(const PLMouseEvent& event) override;
    void mouseMoved(const PLMouseEvent& event) override;
    bool trackMouse(const PLMouseEvent& event) override;
    // Selects the branch alone and starts its title editor (the event may be null).
    void startTitleEditing(const PLMouseEvent* event);
    void showAttachments(const PLMouseEvent& event);
    void showComment(const PLMouseEvent& event);
    void showOutline(const PLMouseEvent& event);
    // Forgets and cancels a pending opening.
    void cleanupDelayedShows();
    bool isShowPending() const { return m_showAttachmentPosted || m_showCommentPosted; }

    QVariantMap resizing_state() override;
    void resizing_setState(const QVariantMap& state) override;
    void resizing_setFrame(const PLRect& frame, int tracksX, int tracksY) override;

private:
    // The six sub-cells, in the order they are invalidated.
    std::vector<IXLayoutCell*> subCells() const;
    void removeCell(std::shared_ptr<IXLayoutCell>& cell);
    std::shared_ptr<IXLayoutCell> makeIndicator(const QImage& image);
    void shiftRowForMinimumLength(float minLength);

    std::shared_ptr<IXTextCell> m_titleCell;
    std::shared_ptr<IXIconsCell> m_iconsCell;
    std::shared_ptr<IXLayoutCell> m_attachmentsCell;
    std::shared_ptr<IXLayoutCell> m_commentCell;
    std::shared_ptr<IXLayoutCell> m_outlineCell;
    std::shared_ptr<IXPictureCell> m_pictureCell;
    PLRect m_boxFrame;
    bool m_showAttachmentPosted = false;
    bool m_showCommentPosted = false;
};
