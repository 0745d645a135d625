#include "MapLayout/IXLayoutModelObserver.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutCellRegistry.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXLayoutReloadScheduler.h"

bool IXLayoutModelObserver::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXStyleNodeDidChangeProperty, IXDocumentNodeDidChangeProperty,
                              IXBranchNodeDidChangeProperty, IXReferenceNodeDidChangeProperty,
                              IXPictureNodeDidChangeProperty, IXCommentNodeDidChangeProperty,
                              IXConnectionNodeDidChangeProperty});
}

void IXLayoutModelObserver::notifiedOfNodeDetach(IXNode* node)
{
    if (!node || !m_context.controller()) return;
    if (node == m_context.layoutNode()) {
        m_context.invalidate();
        return;
    }
    if (node == m_context.branchFilter().get()) m_context.setBranchFilter(nullptr);
    if (m_context.selection().containsNode(node)) {
        IXDocumentNode* document = m_context.documentNode();
        m_context.setSelection(IXSelection::selectionWithNode(document ? document->shared_from_this() : nullptr));
    }
    if (m_context.highlights().containsNode(node)) m_context.setHighlights(IXSelection());
}

void IXLayoutModelObserver::notifiedOfStyleNode(IXStyleNode* style, const QString& property)
{
    IXDocumentNode* documentNode = m_context.documentNode();
    if (!style || !documentNode) return;
    IXLayoutReloadScheduler& reloads = m_context.reloads();
    if (style->refId().isEmpty()) {
        // A shared reading style stands for every node read through it, the document node
        // included when it has no style of its own in that sheet: each of them hears "master".
        const IXStyleSheetNode* sheet = style->styleSheet();
        if (property != IXProperties::Master || !sheet || !sheet->isSharedStyle(style)) return;
        const QString& documentId = documentNode->existingUniqueId();
        if (documentId.isEmpty() || !sheet->existingStyleForRef(documentId)) reloads.postReloadBranches();
        m_context.cells().invalidateLayoutOfNamedCells();
        return;
    }
    const QString& refId = style->refId();
    if (refId == documentNode->existingUniqueId()) {
        if (m_context.isTimelineLayout() || property.startsWith(QLatin1String("document.layout"))
            || property == IXProperties::Master) {
            reloads.postReloadBranches();
        } else if (IXLayoutGroupCell* branchLayer = m_context.branchLayer()) {
            branchLayer->invalidateLayout();
            m_context.cells().invalidateLayoutOfNamedCells();
        }
        return;
    }
    if (const std::shared_ptr<IXNode> node = documentNode->nodeForId(refId))
        m_context.cells().invalidateLayoutOfNodeCell(node.get());
}

void IXLayoutModelObserver::notifiedOfDocumentNode(IXDocumentNode*, const QString& property)
{
    IXLayoutReloadScheduler& reloads = m_context.reloads();
    if (property == IXProperties::RootBranches) {
        reloads.postReloadRootBranches();
    } else if (property == IXProperties::Pictures || property == IXProperties::Comments) {
        reloads.postReloadFloatings();
        reloads.postReloadConnections();
    } else if (property == IXProperties::TimeScaleType && m_context.isTimelineLayout()) {
        reloads.postReloadBranches();
    }
}

void IXLayoutModelObserver::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (!branch || !m_context.controller()) return;
    IXLayoutReloadScheduler& reloads = m_context.reloads();
    const bool timeline = m_context.isTimelineLayout();
    if (property == IXProperties::Connections) {
        reloads.postReloadConnections();
    } else if (property == IXProperties::Branches) {
        if (timeline) {
            reloads.postReloadBranches();
        } else {
            if (auto* group = dynamic_cast<IXBranchGroupCell*>(m_context.cells().namedCell(branch)))
                group->reloadBranches();
            if (branchesMayChangeConnections(branch)) reloads.postReloadConnections();
            // Outlines may point at boxes that went with the rebuild.
            reloads.postReloadSelection();
        }
    } else if (timeline && (property == IXProperties::BeginDate || property.startsWith(IXProperties::EndDate.view()))) {
        reloads.postReloadBranches();
    }
    m_context.cells().invalidateLayoutOfNodeCell(branch);
}

void IXLayoutModelObserver::notifiedOfReferenceNode(IXReferenceNode* reference, const QString& property)
{
    if (property == IXProperties::Connection) m_context.reloads().postReloadConnections();
    m_context.cells().invalidateLayoutOfNodeCell(reference);
}

void IXLayoutModelObserver::notifiedOfPictureNode(IXPictureNode* picture, const QString&)
{
    m_context.cells().invalidateLayoutOfNodeCell(picture);
}

void IXLayoutModelObserver::notifiedOfCommentNode(IXCommentNode* comment, const QString&)
{
    m_context.cells().invalidateLayoutOfNodeCell(comment);
}

void IXLayoutModelObserver::notifiedOfConnectionNode(IXConnectionNode* connection, const QString& property)
{
    if (property == IXProperties::TargetRef) m_context.reloads().postReloadConnections();
    m_context.cells().invalidateLayoutOfNodeCell(connection);
}

bool IXLayoutModelObserver::branchesMayChangeConnections(IXNode* branch) const
{
    // Every connection of the document has a cell (shown or not): with none, only branches
    // that came in can bring some, and then the document has connections attached.
    IXLayoutGroupCell* connectionLayer = m_context.connectionLayer();
    if (!connectionLayer || !connectionLayer->cells().empty() || !branch->isBranch()) return true;
    const IXDocumentNode* document = branch->documentNode();
    return !document || document->hasConnections();
}
