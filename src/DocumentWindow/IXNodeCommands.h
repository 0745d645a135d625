#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"
#include "Platform/Drawing/PLSize.h"

#include <QString>

#include <memory>
#include <optional>

class IXBranchNode;
class IXDocumentNode;
class IXLayoutContext;
class IXNode;
class IXPictureNode;
class IXSelection;
class IXWindowController;
class QAction;
class QObject;

// The document window's commands that make, remove, move and open the nodes of the map: root
// branches, siblings, sub-branches and branches above, removal (of the topmost selected
// branches only, so a branch and its descendants go and come back as one undo step), comments
// and pictures on branches and floating on the map, icons, attachments, detaching, collapsing,
// and starting the title, comment and connection tools. The window controller owns one and
// routes the commands of its menus and keys here; each takes the sending item, whose data is
// its tag (a sender that is no menu item has tag 0).
//
// Every command works on the controller's selection and changes the map only through the
// model's setters, so a command is one undo step that also brings the selection back. A
// command that lacks the node it needs beeps and changes nothing. A command never starts a
// tool that is not registered, and its menu item stays disabled until the tool is.
//
// Terms: the selected branch is the selection's topmost branch; the working branch is the last
// selected branch or, with none, the map's last root branch; layout space is the canvas of the
// active view's layout context.
class IXNodeCommands {
public:
    explicit IXNodeCommands(IXWindowController& controller);

    // A sibling after the working branch (a sub-branch of a root); a root branch with tag 1 or
    // on a map without roots, placed at the click point or at the centre of the visible area,
    // pushed out of the union of the root cells (grown by 20) towards its nearer edges.
    void addBranch(QObject* sender);
    // A last sub-branch of the working branch, selected on the next turn.
    void addSubbranch(QObject* sender);
    // A branch between the working branch and its parent branch.
    void addPrebranch(QObject* sender);
    // The topmost selected branches; the selected branch's parent node is selected.
    void removeBranch(QObject* sender);
    // The selected branch alone: its sub-branches take its place, in order.
    void removeBranchSection(QObject* sender);
    // The selected floating pictures, floating comments and connections.
    void removeFloating(QObject* sender);
    void removeSelectedNodes(QObject* sender);
    void removeComment(QObject* sender);
    void removePicture(QObject* sender);
    // Tag -1 clears every icon of the selected branch, another tag removes the icon at it.
    void removeIcon(QObject* sender);
    // The selected branch becomes a root centred 100 below the last root.
    void detachBranch(QObject* sender);
    // The selected branch's picture floats, anchored to the branch.
    void detachPicture(QObject* sender);
    // Selected floating nodes lose their anchor and keep their place.
    void detachFloatingNode(QObject* sender);
    void addComment(QObject* sender);
    void addFloatingComment(QObject* sender);
    // Asks for a picture file: tag 1 puts it on the selected branch, another tag floats it.
    void addPicture(QObject* sender);
    // Tag 1 expands, tag 2 collapses, another tag flips the selected branch.
    void toggleCollapser(QObject* sender);
    void editTitle(QObject* sender);
    void editTextNote(QObject* sender);
    void makeBranchConnection(QObject* sender);
    void attachHyperlink(QObject* sender);
    void attachTextFile(QObject* sender);
    void attachPictureFile(QObject* sender);
    void attachVideoFile(QObject* sender);
    void attachSoundFile(QObject* sender);
    void attachFlashFile(QObject* sender);
    // An attachment subtype (IXReferenceNode) on the selected branch, from a file the user
    // picks; nothing without a selected branch or a file.
    void addAttachmentOfType(int type);

    // The point a context menu's command applies to, else the centre of the visible area; in
    // view space.
    PLPoint clickPoint() const;
    // Adding pictures from files (the follow-ups of addPicture).
    void addBranchPictureWithPath(const QString& path);
    void addFloatingPictureWithPath(const QString& path);

    // Whether the item of one of these commands is enabled (updating its title or state); none
    // for other commands.
    std::optional<bool> validateMenuItem(QAction* item) const;

    // Where a floating node anchored to the branch stands from it: 0.7 of the branch cell's
    // size (the fallback without a cell), mirrored and moved out by the shift on a left side,
    // downwards in a top-down layout.
    static PLPoint floatingAnchorOffset(IXLayoutContext* context, IXBranchNode* target, PLSize fallback, float shift);
    // Where a new root goes from the candidate point, in layout space: when the point lies in
    // the union of the root cells grown by 20, out to that rectangle's nearer edge on each
    // axis, a tie going to the larger coordinate; else the point itself.
    static PLPoint placementOutsideRoots(PLPoint candidate, const PLRect& rootCells);
    // A picture's size: its natural size, fitted to 100 x 100 when larger, to 16 x 16 when
    // smaller.
    static PLSize pictureSizeForPicture(IXPictureNode& picture);
    // The last click point (layout space) that a floating picture without anchor takes; one
    // for the application.
    static PLPoint lastClickPoint();

private:
    std::shared_ptr<IXDocumentNode> documentNode() const;
    IXLayoutContext* context() const;
    std::shared_ptr<IXBranchNode> selectedBranch() const;
    std::shared_ptr<IXBranchNode> workingBranch() const;
    void select(const std::shared_ptr<IXNode>& node) const;
    void addRootBranch();
    void removeBranchesOf(const IXSelection& selection);
    void removeFloatingOf(const IXSelection& selection);
    PLPoint rootPlacement() const;
    PLPoint clickPointInLayout() const;

    IXWindowController& m_controller;
};
