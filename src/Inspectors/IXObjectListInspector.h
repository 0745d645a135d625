#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXReferenceNodeObserver.h"
#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXReferenceCellTarget.h"

#include <QPointer>

#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class IXBranchNode;
class IXCellListView;
class IXDocumentNode;
class IXInspectorView;
class IXReferenceInfoCell;
class IXReferenceNode;
class QCheckBox;

// The "Object List" pane: one row (IXReferenceInfoCell) per reference of the selected
// branches, each branch's text notes, then its connections, then its attachments, and one
// tri-state check box that includes every listed reference in export, or none. Rows are
// edited, deleted and opened in place. The list is rebuilt whole when the selection changes
// and when a selected branch's references change (once per turn of the event loop); which
// rows were open is not kept. Other parts of the window open it on one reference
// (activateViewForReference), which opens its row and may start editing its title.
class IXObjectListInspector : public IXInspectorController,
                              public IXReferenceCellTarget,
                              public IXNodeObserver,
                              public IXBranchNodeObserver,
                              public IXReferenceNodeObserver {
    Q_OBJECT
public:
    static constexpr int PrintLayout = 9;
    static constexpr double ListSpacing = 4;

    IXObjectListInspector();
    ~IXObjectListInspector() override;

    bool isApplicable() const override { return !m_branches.empty(); }
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;

    IXCellListView* listView() const { return m_listView; }
    QCheckBox* includeAllButton() const { return m_includeAllButton; }
    const std::vector<std::shared_ptr<IXReferenceNode>>& references() const { return m_references; }
    // The row of the reference, or null.
    IXReferenceInfoCell* cellForReference(const IXReferenceNode* reference) const;

    // The check box was clicked: a mixed state counts as on.
    void includeAllInExportAction();
    void updateIncludeInExport();
    // Opens the reference's row, scrolls to it and may edit its title. A reference not listed
    // yet (the list is about to be rebuilt) is opened once it is.
    void activateViewForReference(const std::shared_ptr<IXReferenceNode>& reference, bool startEditing);

    void deleteReference(const std::shared_ptr<IXReferenceNode>& reference) override;
    void executeReference(const std::shared_ptr<IXReferenceNode>& reference) override;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfReferenceNode(IXReferenceNode* node, const QString& property) override;

protected:
    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;

private:
    void adjustSize();
    void stopObserving();
    UTBroadcaster* broadcaster() const;
    void showPendingReference();
    void openRow(IXReferenceInfoCell* cell, bool startEditing);

    QPointer<IXInspectorView> m_containerView;
    IXCellListView* m_listView = nullptr;
    QCheckBox* m_includeAllButton = nullptr;
    std::vector<std::shared_ptr<IXBranchNode>> m_branches;
    std::unordered_set<const IXNode*> m_branchSet;
    std::vector<std::shared_ptr<IXReferenceNode>> m_references;
    std::unordered_map<const IXReferenceNode*, IXReferenceInfoCell*> m_cells;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
    std::weak_ptr<IXReferenceNode> m_pendingReference;
    bool m_pendingEditing = false;
    bool m_dontUpdateIncludeInExport = false;
    bool m_adjusting = false;
};
