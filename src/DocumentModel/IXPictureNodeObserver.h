#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXPictureNode;

// Notifications of a picture node. Observers override the ones they need and name them in
// respondsToSelector by the constants below.
class IXPictureNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfPictureNode:didChangeProperty:": a property of the node changed (its name
    // as the setters announce it: "title", "targetRef" and the like).
    virtual void notifiedOfPictureNode(IXPictureNode* node, const QString& property) {}
};

inline constexpr auto IXPictureNodeDidChangeProperty = UT_NOTIFICATION(IXPictureNodeObserver, notifiedOfPictureNode, "didChangeProperty:");
