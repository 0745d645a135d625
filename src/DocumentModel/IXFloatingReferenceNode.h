#pragma once

#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleCarrier.h"


#include <memory>

class IXConnectionNode;

// The base of pictures and comments: references that can float on the map (their parent is
// then the document node) and be placed by the node they point at. Each may carry one
// connection, which it owns and which names the node it is placed by, and each keeps its
// styles while it is outside a document.
class IXFloatingReferenceNode : public IXReferenceNode {
public:
    ~IXFloatingReferenceNode() override;

    bool isFloating() const override;

    const std::shared_ptr<IXConnectionNode>& connection() const { return m_connection; }
    // Undoable; the old connection loses its parent, the new one takes this node as parent.
    void setConnection(const std::shared_ptr<IXConnectionNode>& connection);
    // The connection, made empty when there is none.
    std::shared_ptr<IXConnectionNode> addConnection();

    // The node the connection points at; null without a connection.
    std::shared_ptr<IXNode> floatingTargetNode() const override;
    // Points the connection (made when needed) at the node.
    void setFloatingTargetNode(const std::shared_ptr<IXNode>& node) override;

    // The styles saved while the node is outside a document.
    const IXStyleCarrier::Styles& styleAttributes() const { return m_styles.styleAttributes(); }

    void validateContent() override;
    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

protected:
    IXFloatingReferenceNode() = default;
    // A copy takes a copy of the connection and the styles of the other node.
    IXFloatingReferenceNode(const IXFloatingReferenceNode& other);

    // Reads the last "connection" child as the connection; writes the connection as a child.
    bool readConnection(const PLXMLElement& element, PLError* error);
    void writeConnection(PLXMLElement element);

private:
    std::shared_ptr<IXConnectionNode> m_connection;
    IXStyleCarrier m_styles;
};
