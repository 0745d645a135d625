#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXReferenceNode;

// Notifications of a reference node. Observers override the ones they need and name them in
// respondsToSelector by the constants below.
class IXReferenceNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfReferenceNode:didChangeProperty:": a property of the node changed (its name
    // as the setters announce it: "title", "targetRef" and the like).
    virtual void notifiedOfReferenceNode(IXReferenceNode* node, const QString& property) {}
};

inline constexpr auto IXReferenceNodeDidChangeProperty = UT_NOTIFICATION(IXReferenceNodeObserver, notifiedOfReferenceNode, "didChangeProperty:");
