#pragma once

#include "DocumentModel/IXNodeObserver.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXTool.h"

#include <QFrame>
#include <QPointer>

#include <memory>

class IXBranchNode;

// Browses and edits the sub-tree of one branch as an outline in a small box (500 by at most
// 200) floating over the map at the far corner of the branch's cell, started by the cell's
// outline indicator. The outline inside is a full IXOutlineMapView of the same document,
// filtered to the branch and fitted in height to its rows. Escape or a press in the map's
// window outside the box ends the tool; so does the branch leaving the document (on the next
// turn, not inside the model's notice). A branch without sub-branches shows nothing.
class IXInplaceOutlineTool : public IXTool, public IXNodeObserver {
    Q_OBJECT
public:
    static constexpr int BoxWidth = 500;
    static constexpr int BoxHeight = 200;

    explicit IXInplaceOutlineTool(IXToolManager* manager);
    ~IXInplaceOutlineTool() override;

    std::shared_ptr<IXNode> editedObject() const override;
    // A branch, set once.
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    void releaseEditedObject() override;
    bool commitTool() override;
    void discardTool() override;
    void startWithEvent(const IXToolEvent& event) override;
    bool onSendEvent(QWindow* window, QEvent* event) override;

    IXOutlineMapView* outlineView() const { return m_outlineView; }
    QFrame* box() const { return m_box; }

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;

private:
    void closeBox();

    std::shared_ptr<IXBranchNode> m_node;
    QPointer<QFrame> m_box;
    QPointer<IXOutlineMapView> m_outlineView;
};
