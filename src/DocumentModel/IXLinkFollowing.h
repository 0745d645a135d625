#pragma once

#include <memory>

class IXConnectionNode;
class IXNode;
class IXReferenceNode;
class IXWindowControlling;

// Following links to branches: a reference or connection whose target is "branch:" and an id
// selects that branch in a document window, and a connection with a related link to another
// document's file opens that document and selects the branch there. Windows and documents
// are reached through IXApplicationServices; without installed services nothing happens.
class IXLinkFollowing {
public:
    // A reference's "branch:" target: the main window's controller gets a selection of the
    // target branch (the empty selection when the branch is gone).
    static void selectBranchTarget(const IXReferenceNode& reference);
    // A connection: with a related link, opens the linked document file when it exists
    // (an opening error is shown), expands the branches above the target there and selects it
    // in the document's last window; without one, expands and selects a target branch in the
    // main window. False when neither applies and the connection opens its target as any
    // reference does.
    static bool followConnection(const IXConnectionNode& connection);
    // Clears the collapsed flag of every branch above the node (in the document sheet).
    static void expandBranchesAbove(const IXNode& node);
};
