#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXStyleNode;

// Notifications of styles. Observers override the ones they need and name them in
// respondsToSelector by the constants below.
class IXStyleNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfStyleNode:didChangeProperty:": an attribute of the style changed (the
    // property is the attribute's name), or, with "master", one of the master styles it
    // inherits from did.
    virtual void notifiedOfStyleNode(IXStyleNode* style, const QString& property) {}
};

inline constexpr auto IXStyleNodeDidChangeProperty = UT_NOTIFICATION(IXStyleNodeObserver, notifiedOfStyleNode, "didChangeProperty:");
