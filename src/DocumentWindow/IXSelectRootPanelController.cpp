#include "DocumentWindow/IXSelectRootPanelController.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "Platform/Core/PLAssert.h"

#include <algorithm>

IXSelectRootPanelController::IXSelectRootPanelController(IXWindowControlling* parentWindowController)
    : m_parentWindowController(parentWindowController)
{
    PL_ASSERT_PARAM(parentWindowController, "parentWindowController");
}

QList<std::shared_ptr<IXNode>> IXSelectRootPanelController::rootBranches() const
{
    const std::shared_ptr<IXDocumentNode> document = m_parentWindowController->documentNode();
    return document ? document->rootBranches() : QList<std::shared_ptr<IXNode>>();
}

int IXSelectRootPanelController::chosenIndex() const
{
    if (!m_selectedBranch) return -1;
    const auto roots = rootBranches();
    const auto found = std::find(roots.begin(), roots.end(), m_selectedBranch);
    return found == roots.end() ? -1 : int(found - roots.begin());
}

std::shared_ptr<IXBranchNode> IXSelectRootPanelController::selectedRootBranch() const
{
    if (chosenIndex() >= 0) return m_selectedBranch;
    const auto roots = rootBranches();
    return roots.isEmpty() ? nullptr : std::dynamic_pointer_cast<IXBranchNode>(roots.first());
}

int IXSelectRootPanelController::selectedRootBranchesIndex() const
{
    return std::max(0, chosenIndex());
}

void IXSelectRootPanelController::setSelectedRootBranchesIndexes(const QList<int>& indexes)
{
    if (indexes.isEmpty()) return;
    const int index = *std::min_element(indexes.begin(), indexes.end());
    const auto roots = rootBranches();
    if (index < 0 || index >= roots.size()) return;
    if (auto branch = std::dynamic_pointer_cast<IXBranchNode>(roots[index])) m_selectedBranch = branch;
}
