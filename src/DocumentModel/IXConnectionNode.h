#pragma once

#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleCarrier.h"


#include <memory>
#include <string_view>

// A connection drawn from a branch, picture or comment to another node of the map: a
// reference of type 3 whose target names the node by id ("branch:" and the id). A connection
// to a node of another document carries a related link to that document's file instead.
//
// The target is resolved on first use and watched: when it leaves the document the cached
// target is dropped, and the next look-up resolves the id again (so undoing the removal
// brings it back). The cache does not keep the target alive.
class IXConnectionNode : public IXReferenceNode, public IXNodeObserver {
public:
    IXConnectionNode();
    ~IXConnectionNode() override;

    std::shared_ptr<IXNode> copy() const override;
    bool isConnection() const override { return true; }

    // The node the connection points at in its document; null when it has a related link,
    // is not in a document, or the id names no branch of it.
    std::shared_ptr<IXNode> targetNode() const;
    // Points the connection at the node (undoable, as every target change); null clears the
    // target.
    void setTargetNode(const std::shared_ptr<IXNode>& node);

    // The styles saved while the connection is outside a document.
    const IXStyleCarrier::Styles& styleAttributes() const { return m_styles.styleAttributes(); }

    // Announces as a reference and as a connection; a new target is also announced to the
    // owner as its "connection.targetRef".
    void notifyPropertyChange(const QString& property) override;
    // Following the connection: with a related link, its target branch in the linked
    // document (nothing when that file is gone); else its target branch here, with the
    // branches above expanded; else what any reference opens.
    IXReferenceOpening referenceToOpen() const override;
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;

    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    PLXMLElement XMLElement(PLXMLElement parent) override;

private:
    IXConnectionNode(const IXConnectionNode& other);

    void dropTargetNode() const;

    mutable std::weak_ptr<IXNode> m_targetNode;
    // The identity under which the connection watches its target; kept apart from the
    // target, which may already be gone when the watch ends.
    mutable const void* m_watchedTarget = nullptr;
    IXStyleCarrier m_styles;
};
