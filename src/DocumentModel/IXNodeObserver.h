#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <memory>

class IXNode;
class IXWarning;

// Notifications that every node sends through its document's broadcaster. Observers override
// the ones they need and name them in respondsToSelector by the constants below.
class IXNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfNodeAttach:": the node joined the document.
    virtual void notifiedOfNodeAttach(IXNode* node) {}
    // "notifiedOfNodeDetach:": the node is leaving the document.
    virtual void notifiedOfNodeDetach(IXNode* node) {}
    // "notifiedOfNode:warning:": a warning was added to the node's list, or (null) one or all
    // were removed. Warnings of attached nodes are listed by the document node.
    virtual void notifiedOfNode(IXNode* node, const std::shared_ptr<IXWarning>& warning) {}
};

inline constexpr auto IXNodeAttach = UT_NOTIFICATION(IXNodeObserver, notifiedOfNodeAttach, "");
inline constexpr auto IXNodeDetach = UT_NOTIFICATION(IXNodeObserver, notifiedOfNodeDetach, "");
inline constexpr auto IXNodeWarning = UT_NOTIFICATION(IXNodeObserver, notifiedOfNode, "warning:");
