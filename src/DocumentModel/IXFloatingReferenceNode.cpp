#include "DocumentModel/IXFloatingReferenceNode.h"

#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"

IXFloatingReferenceNode::IXFloatingReferenceNode(const IXFloatingReferenceNode& other)
    : UTObserver()
    , IXReferenceNode(other)
{
    if (other.m_connection) {
        m_connection = std::static_pointer_cast<IXConnectionNode>(other.m_connection->copy());
        m_connection->setParentNode(this);
    }
    m_styles.take(IXStyleCarrier::stylesForCopy(other, other.m_styles));
}

IXFloatingReferenceNode::~IXFloatingReferenceNode()
{
    if (m_connection && m_connection->parentNode() == this) m_connection->setParentNode(nullptr);
}

bool IXFloatingReferenceNode::isFloating() const
{
    return parentNode() && parentNode()->isDocument();
}

void IXFloatingReferenceNode::setConnection(const std::shared_ptr<IXConnectionNode>& connection)
{
    if (connection == m_connection) return;
    const std::shared_ptr<IXConnectionNode> old = m_connection;
    const QString actionName = type() == TypePicture ? QStringLiteral("_pictureConnection")
                                                     : QStringLiteral("_commentConnection");
    registerUndo(this, actionName, [old](IXFloatingReferenceNode& node) { node.setConnection(old); });
    if (old && old->parentNode() == this) old->setParentNode(nullptr);
    m_connection = connection;
    if (connection) connection->setParentNode(this);
    notifyPropertyChange(IXProperties::Connection);
}

std::shared_ptr<IXConnectionNode> IXFloatingReferenceNode::addConnection()
{
    if (!m_connection) setConnection(std::make_shared<IXConnectionNode>());
    return m_connection;
}

std::shared_ptr<IXNode> IXFloatingReferenceNode::floatingTargetNode() const
{
    return m_connection ? m_connection->targetNode() : nullptr;
}

void IXFloatingReferenceNode::setFloatingTargetNode(const std::shared_ptr<IXNode>& node)
{
    addConnection()->setTargetNode(node);
}

void IXFloatingReferenceNode::validateContent()
{
    IXReferenceNode::validateContent();
    if (m_connection) m_connection->validateContent();
}

void IXFloatingReferenceNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXReferenceNode::attachToDocumentNode(document);
    if (!document) return;
    if (m_connection) m_connection->attachToDocumentNode(document);
    m_styles.restore(*this);
}

void IXFloatingReferenceNode::detachFromDocumentNode()
{
    if (!documentNode()) return;
    m_styles.save(*this);
    if (m_connection) m_connection->detachFromDocumentNode();
    IXReferenceNode::detachFromDocumentNode();
}

bool IXFloatingReferenceNode::readConnection(const PLXMLElement& element, PLError* error)
{
    const PLXMLElement connectionElement = element.lastChildElement("connection");
    if (!connectionElement) return true;
    m_connection = readNode<IXConnectionNode>(this, connectionElement, error);
    return m_connection != nullptr;
}

void IXFloatingReferenceNode::writeConnection(PLXMLElement element)
{
    if (m_connection) m_connection->XMLElement(element);
}
