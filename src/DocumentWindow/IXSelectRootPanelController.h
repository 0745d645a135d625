#pragma once

#include <QList>

#include <memory>

class IXBranchNode;
class IXNode;
class IXWindowControlling;

// The root-branch choice of the export dialogs: the document's root branches and the one
// chosen, also as an index (set) for a list or pop-up bound to it. A chosen branch that is
// no longer a root branch of the document counts as none chosen.
class IXSelectRootPanelController {
public:
    // The window controller is required; it is not owned and must outlive the picker.
    explicit IXSelectRootPanelController(IXWindowControlling* parentWindowController);

    QList<std::shared_ptr<IXNode>> rootBranches() const;
    // The chosen branch, else the first root branch, else null.
    std::shared_ptr<IXBranchNode> selectedRootBranch() const;
    void setSelectedRootBranch(const std::shared_ptr<IXBranchNode>& branch) { m_selectedBranch = branch; }
    // The chosen branch's position among the root branches; 0 when none is chosen.
    int selectedRootBranchesIndex() const;
    QList<int> selectedRootBranchesIndexes() const { return {selectedRootBranchesIndex()}; }
    // The root branch at the lowest index becomes the chosen one; an empty set, or an index
    // outside the list, changes nothing.
    void setSelectedRootBranchesIndexes(const QList<int>& indexes);

private:
    // The position of the chosen branch among the roots, or -1.
    int chosenIndex() const;

    IXWindowControlling* m_parentWindowController;
    std::shared_ptr<IXBranchNode> m_selectedBranch;
};
