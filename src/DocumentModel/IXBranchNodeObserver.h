#pragma once

#include "Utilities/UTObserver.h"

#include <QString>

class IXBranchNode;

// Notifications of branch nodes. Observers override the ones they need and name them in
// respondsToSelector.
class IXBranchNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfBranchNode:didChangeProperty:" with the property's name ("title",
    // "branches", "beginDate", "level", "picture", "connection.targetRef", ...).
    virtual void notifiedOfBranchNode(IXBranchNode* branch, const QString& property) {}
};
