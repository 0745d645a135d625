#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXCommentNode;

// Notifications of a comment or text note. Observers override the ones they need and name
// them in respondsToSelector.
class IXCommentNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfCommentNode:didChangeProperty:": a property of the node changed (its name
    // as the setters announce it: "title", "targetRef" and the like).
    virtual void notifiedOfCommentNode(IXCommentNode* node, const QString& property) {}
};

inline constexpr auto IXCommentNodeDidChangeProperty = UT_NOTIFICATION(IXCommentNodeObserver, notifiedOfCommentNode, "didChangeProperty:");
