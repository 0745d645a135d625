#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <QString>

class IXDocumentNode;
class PLError;

// Notifications of the document node. Observers override the ones they need and name them
// in respondsToSelector by the constants below.
class IXDocumentNodeObserver : public virtual UTObserver {
public:
    // "notifiedOfDocumentNode:didChangeProperty:".
    virtual void notifiedOfDocumentNode(IXDocumentNode* document, const QString& property) {}
    // "notifiedOfDocumentNodeSave:error:": the package is being written; an observer that
    // stores a part does so only while *error is not set, and fills it on failure.
    virtual void notifiedOfDocumentNodeSave(IXDocumentNode* document, PLError* error) {}
};

inline constexpr auto IXDocumentNodeDidChangeProperty = UT_NOTIFICATION(IXDocumentNodeObserver, notifiedOfDocumentNode, "didChangeProperty:");
inline constexpr auto IXDocumentNodeSave = UT_NOTIFICATION(IXDocumentNodeObserver, notifiedOfDocumentNodeSave, "error:");
