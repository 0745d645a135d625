#pragma once

#include "DocumentViews/IXTool.h"

#include <QList>

#include <memory>

class IXBranchNode;

// Moves the selected branches by dragging one of them on the map: onto another branch, which
// becomes their parent (a ghost of the branch shows the slot it would take), or, for a root
// branch and for a main branch of a freely arranged map, to a new place on the canvas.
//
// Started by name ("IXDragBranchTool") by a branch cell with its branch and the mouse-down; the
// gesture runs in an IXTrackingLoop inside startWithEvent and the tool ends with it. While the
// button is down undo and the canvas following its cells are off, so the live moves are not
// recorded; the release records the final state once (one undo step). A lost grab (Escape, the
// window hidden or closed, the context ending) puts the dragged branch back and moves nothing.
// Main thread only.
class IXDragBranchTool : public IXTool {
    Q_OBJECT
public:
    // Placeholder kinds of the slot the dragged branches would take.
    enum Placeholder { NoPlaceholder = 0, AmongSubbranches = 1, LeftOfRoot = 2, RightOfRoot = 3 };

    explicit IXDragBranchTool(IXToolManager* manager);
    ~IXDragBranchTool() override;

    // The dragged branch; required ("obj"), once ("!_cell").
    std::shared_ptr<IXNode> editedObject() const override;
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    void releaseEditedObject() override;
    // Refused without a branch or a view of the context; sets the open-hand cursor.
    bool activateTool() override;
    // Arrow cursor, lets the branch go.
    void discardTool() override;
    // The drag, from the left mouse-down to the release.
    void startWithEvent(const IXToolEvent& event) override;

    // Moves the branches under the parent at the index (-1 appends): each one that is neither
    // the parent nor one of its ancestors, one after another in the given order; then in the
    // context's layout each lands with no offset and the side the placeholder gives.
    static void moveBranches(IXLayoutContext* context, const QList<std::shared_ptr<IXBranchNode>>& branches,
                             const std::shared_ptr<IXBranchNode>& parent, int index, int placeholder);
    // The branch layout type a placeholder gives: left (3), right (2), else automatic (0).
    static int layoutTypeForPlaceholder(int placeholder);

private:
    std::shared_ptr<IXBranchNode> m_branch;
};
