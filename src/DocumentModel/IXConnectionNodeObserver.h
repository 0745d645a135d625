#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXConnectionNode;

// Notifications of a connection. Observers override the ones they need and name them in
// respondsToSelector by the constants below.
class IXConnectionNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfConnectionNode:didChangeProperty:": a property of the node changed (its name
    // as the setters announce it: "title", "targetRef" and the like).
    virtual void notifiedOfConnectionNode(IXConnectionNode* node, const QString& property) {}
};

inline constexpr auto IXConnectionNodeDidChangeProperty = UT_NOTIFICATION(IXConnectionNodeObserver, notifiedOfConnectionNode, "didChangeProperty:");
