#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXNode;

// Notifications of branches. Observers override the ones they need and name them in
// respondsToSelector by the constants below.
class IXBranchNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfBranchNode:didChangeProperty:": a property of the branch changed ("title",
    // "branches", "level", ...).
    virtual void notifiedOfBranchNode(IXNode* branch, const QString& property) {}
};

inline constexpr auto IXBranchNodeDidChangeProperty = UT_NOTIFICATION(IXBranchNodeObserver, notifiedOfBranchNode, "didChangeProperty:");
