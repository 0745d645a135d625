#include "DocumentModel/IXLinkFollowing.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "Platform/Core/PLError.h"

#include <QFileInfo>
#include <QUrl>

void IXLinkFollowing::selectBranchTarget(const IXReferenceNode& reference)
{
    IXApplicationServices* services = IXApplicationServices::shared();
    IXWindowControlling* controller = services ? services->mainWindowController() : nullptr;
    if (controller) controller->setSelection(IXSelection::selectionWithNode(reference.targetValue().node()));
}

bool IXLinkFollowing::followConnection(const IXConnectionNode& connection)
{
    IXApplicationServices* services = IXApplicationServices::shared();
    if (const std::shared_ptr<IXReferenceNode>& link = connection.relatedLink()) {
        const QString path = link->targetValue().text();
        if (!services || path.isEmpty() || !QFileInfo::exists(path)) return true;
        PLError error;
        IXOpenDocument* opened = services->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true, &error);
        if (!opened) {
            if (error) services->presentError(error);
            return true;
        }
        opened->showWindows();
        const std::shared_ptr<IXDocumentNode> document = opened->documentNode();
        const std::shared_ptr<IXNode> target = connection.targetValueWithDocumentNode(document.get()).node();
        if (target && target->isBranch()) expandBranchesAbove(*target);
        if (IXWindowControlling* controller = opened->lastWindowController())
            controller->setSelection(IXSelection::selectionWithNode(target));
        return true;
    }
    const std::shared_ptr<IXNode> target = connection.targetValue().node();
    if (!target || !target->isBranch()) return false;
    expandBranchesAbove(*target);
    if (IXWindowControlling* controller = services ? services->mainWindowController() : nullptr)
        controller->setSelection(IXSelection::selectionWithNode(target));
    return true;
}

void IXLinkFollowing::expandBranchesAbove(const IXNode& node)
{
    for (IXNode* parent = node.parentNode(); parent && parent->isBranch(); parent = parent->parentNode()) {
        if (const std::shared_ptr<IXStyleNode> style = parent->style()) style->setBranchCollapsed(false);
    }
}
