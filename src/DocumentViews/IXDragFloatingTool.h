#pragma once

#include "DocumentViews/IXTool.h"
#include "Platform/Drawing/PLPoint.h"

#include <memory>

class IXLayoutCell;

// Drags the selected floating pictures and texts over the map. While the pointer rests on a
// branch the dragged objects are attached to it, keeping the place they had before the drag;
// elsewhere each goes back to its own target and follows the pointer. Shift keeps every object
// on its own target.
//
// Started by name ("IXDragFloatingTool") by a floating picture or text cell with its node and
// the mouse-down; the gesture runs in an IXTrackingLoop inside startWithEvent and the tool ends
// with it. The live changes are not recorded; the release records each object's move once, from
// its start target and offset to its final ones (one undo step). A lost grab puts every object
// back. Main thread only.
class IXDragFloatingTool : public IXTool {
    Q_OBJECT
public:
    explicit IXDragFloatingTool(IXToolManager* manager);
    ~IXDragFloatingTool() override;

    // The floating object that started the drag; required ("obj"), once ("!_cell").
    std::shared_ptr<IXNode> editedObject() const override;
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    void releaseEditedObject() override;
    // Refused without an object or a view of the context; sets the open-hand cursor.
    bool activateTool() override;
    // Arrow cursor, lets the object go.
    void discardTool() override;
    // The drag, from the left mouse-down to the release.
    void startWithEvent(const IXToolEvent& event) override;

    // The offset relative to the centre of one cell re-expressed relative to another's (a
    // missing cell stands for the canvas origin), in canvas space.
    static PLPoint convertOffset(IXLayoutContext* context, PLPoint offset, IXLayoutCell* from, IXLayoutCell* to);

private:
    struct DragContext;
    void perform(DragContext& drag);
    void complete(DragContext& drag);
    void putBack(DragContext& drag);

    std::shared_ptr<IXNode> m_object;
};
