#include "DocumentModel/IXNode.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/XML/PLXMLDocument.h"

#include <QHash>

IXNode::IXNode() = default;

IXNode::IXNode(const IXNode&)
    : UTObserver()
    , std::enable_shared_from_this<IXNode>()
{
}

IXNode::~IXNode()
{
    // Releasing an attached node is a programming error; a destructor cannot stop it, so the
    // document at least forgets the node instead of keeping a dangling entry.
    if (m_documentNode && m_documentNode != this) {
        PLLog::write(QStringLiteral("Invalid parameter not satisfying: _documentNode == nil"));
        m_documentNode->forgetNode(this);
    }
}

std::shared_ptr<IXNode> IXNode::copy() const
{
    return std::shared_ptr<IXNode>(new IXNode(*this));
}

bool IXNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError*)
{
    const QString uid = element.attribute("uid");
    if (!uid.isEmpty()) {
        m_uid = uid;
        // Styles are found by id.
        m_readingStyle = {};
    }
    setParentNode(parent);
    return true;
}

PLXMLElement IXNode::XMLElement(PLXMLElement parent)
{
    PLXMLElement element = parent.addChildElement("node");
    writeBaseXMLAttributes(element);
    return element;
}

void IXNode::writeBaseXMLAttributes(PLXMLElement element) const
{
    if (!m_uid.isEmpty()) element.setAttribute("uid", m_uid);
}

PLXMLDocument IXNode::XMLDocumentWithSchema(QByteArrayView rootName, const QString& schema,
                                             const std::function<void(PLXMLElement)>& writeContent)
{
    PLXMLDocument document(rootName);
    PLXMLElement root = document.rootElement();
    writeContent(root);
    root.setAttribute("xmlns:xsi", QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
    root.setAttribute("xsi:noNamespaceSchemaLocation", schema);
    return document;
}

const QString& IXNode::uniqueId()
{
    if (m_uid.isEmpty()) {
        m_uid = IXDocumentNode::newUniqueId();
        m_readingStyle = {};
        // Ids are indexed by the document when they exist; one made now joins the index.
        if (m_documentNode && m_documentNode != this) m_documentNode->indexNode(this);
    }
    return m_uid;
}

bool IXNode::isEqual(const IXNode* other) const
{
    return other && !m_uid.isEmpty() && other->m_uid == m_uid;
}

bool IXNode::isEqual(const QString& uniqueId) const
{
    return !m_uid.isEmpty() && uniqueId == m_uid;
}

size_t IXNode::hash() const
{
    return qHash(m_uid);
}

void IXNode::setParentNode(IXNode* parent)
{
    if (parent == m_parentNode) return;
    if (m_parentNode) m_parentNode->detachChildNode(this);
    IXDocumentNode* document = parent ? parent->documentNode() : nullptr;
    if (m_documentNode && m_documentNode != document) {
        detachFromDocumentNode();
        m_documentNode = nullptr;
    }
    m_parentNode = parent;
    if (document && document != m_documentNode) attachToDocumentNode(document);
}

void IXNode::attachToDocumentNode(IXDocumentNode* document)
{
    if (m_documentNode) detachFromDocumentNode();
    m_documentNode = document;
    if (!document) return;
    document->addNode(this);
    send(IXNodeAttach, this);
}

void IXNode::detachFromDocumentNode()
{
    IXDocumentNode* document = m_documentNode;
    if (!document) return;
    if (UTBroadcaster* broadcaster = document->observers()) {
        broadcaster->send(IXNodeDetach, this);
        broadcaster->removeObserver(this);
        broadcaster->removeAnyObserversWithTarget(this);
    }
    document->removeNode(this);
    m_documentNode = nullptr;
}

void IXNode::addWarning(const std::shared_ptr<IXWarning>& warning)
{
    if (!warning || m_warnings.contains(warning)) return;
    m_warnings.append(warning);
    send(IXNodeWarning, this, warning);
}

void IXNode::removeWarning(const std::shared_ptr<IXWarning>& warning)
{
    if (!m_warnings.removeOne(warning)) return;
    send(IXNodeWarning, this, std::shared_ptr<IXWarning>());
}

void IXNode::removeAllWarnings()
{
    if (m_warnings.isEmpty()) return;
    m_warnings.clear();
    send(IXNodeWarning, this, std::shared_ptr<IXWarning>());
}

std::shared_ptr<IXWarning> IXNode::warning(const QString& message, const QVariantMap& info)
{
    std::shared_ptr<IXWarning> made = IXWarning::warningWithMessage(message, this, info);
    if (m_documentNode) {
        m_documentNode->addWarning(made);
    } else {
        addWarning(made);
    }
    return made;
}

PLUndoManager* IXNode::undoAction(const QString& actionName)
{
    PLUndoManager* manager = m_documentNode ? m_documentNode->undoManager() : nullptr;
    if (!manager) return nullptr;
    // The manager names a step after the first visible name it is given, so a name that a
    // command set before is kept.
    if (!actionName.startsWith(QLatin1Char('_'))) manager->setActionName(actionName);
    return manager;
}

void IXNode::recordUndo(PLUndoManager* manager, const void* target, std::function<void()> action)
{
    manager->registerUndo(target, std::move(action));
}

std::shared_ptr<IXStyleNode> IXNode::style()
{
    if (!m_documentNode) return nullptr;
    return m_documentNode->styleSheet()->styleForNode(this);
}

std::shared_ptr<const IXStyleNode> IXNode::existingStyle() const
{
    if (!m_documentNode || m_uid.isEmpty()) return nullptr;
    return m_documentNode->styleSheet()->existingStyleForRef(m_uid);
}

UTBroadcaster* IXNode::observers() const
{
    return m_documentNode ? m_documentNode->observers() : nullptr;
}

void IXNode::addObserver(UTObserver* observer)
{
    PL_ASSERT_PARAM(observer, "observer");
    if (UTBroadcaster* broadcaster = observers()) broadcaster->addObserverTarget(observer, this);
}

void IXNode::removeObserver(UTObserver* observer)
{
    if (UTBroadcaster* broadcaster = observers()) broadcaster->removeObserverTarget(observer, this);
}
