#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentViews/IXAttachmentsMatrix.h"
#include "DocumentViews/IXBalloonView.h"
#include "DocumentViews/IXTool.h"
#include "Platform/Drawing/PLRect.h"

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QScrollArea>

#include <memory>

class IXBranchNode;
class IXReferenceNode;

// Shows a branch's attachments in a balloon beside its attachment indicator (on the map) or its
// attachment cell (in the outline): one row per attachment, icon and title, in the branch's
// order. A row's menu deletes, copies or opens ("Execute") its attachment; a double click opens
// it. Opening goes through the window's "openReference:" action on the next turn, once the
// balloon has closed. "Edit..." belongs to the object list, which does not exist yet: it stays
// disabled.
//
// Started by name ("IXAttachmentsTool") with the branch, or with one of its attachments (whose
// row is then selected), or with none and a mouse event (the branch under the pointer). A
// branch without attachments shows no balloon: activation is refused or the tool ends.
//
// The balloon opens with its bottom-left corner at the indicator's top-right corner, moved down
// and left to stay within the visible part of the view, and cut at the bottom (with a scroller,
// widened for it) when taller than that. It closes with Escape, a click outside it, scrolling,
// a selection without the branch, the branch leaving the document, its last attachment deleted,
// Execute. Copy and Delete keep it open. Main thread only.
class IXAttachmentsTool : public IXTool, public IXBranchNodeObserver, public IXNodeObserver {
    Q_OBJECT
public:
    explicit IXAttachmentsTool(IXToolManager* manager);
    ~IXAttachmentsTool() override;

    std::shared_ptr<IXNode> editedObject() const override;
    // The branch, or one of its attachments (preselected, its branch taken). None is ignored.
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    void releaseEditedObject() override;

    // Refused for a known branch without attachments.
    bool activateTool() override;
    void discardTool() override;
    void startWithEvent(const IXToolEvent& event) override;
    bool onSendEvent(QWindow* window, QEvent* event) override;

    IXBalloonView* balloon() const { return m_attachmentsView; }
    IXAttachmentsMatrix* matrix() const { return m_matrixView; }
    QScrollArea* scrollView() const { return m_scrollView; }
    // The rows' menu: "Delete", "Copy", "Execute", "Edit...".
    QMenu* menu() const { return m_menu; }

    // The menu's actions, on the selected row's attachment.
    void removeAttachment();
    void copyAttachment();
    void executeAttachment();
    void editAttachment();

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection) override;

private:
    void takeBranch(const std::shared_ptr<IXBranchNode>& branch);
    QWidget* host() const;
    void installAttachmentsView();
    // Finds where the balloon opens: the indicator's corner, or the outline's cell.
    void updateActivationPoint();
    void adjustToDocumentView();
    void reloadReferences();
    void buildMenu();
    std::shared_ptr<IXReferenceNode> selectedAttachment() const;

    std::shared_ptr<IXBranchNode> m_node;
    std::weak_ptr<IXReferenceNode> m_highlightNode;
    QPointer<IXBalloonView> m_attachmentsView;
    QPointer<QScrollArea> m_scrollView;
    QPointer<IXAttachmentsMatrix> m_matrixView;
    QPointer<QMenu> m_menu;
    // Where the balloon opens, in the host's y-up space: its bottom-left corner, or its top-left
    // one in the outline (whose rows the balloon hangs from).
    PLPoint m_activationPoint;
    bool m_anchoredAtTop = false;
    bool m_observing = false;
    QList<QMetaObject::Connection> m_scrolling;
};
