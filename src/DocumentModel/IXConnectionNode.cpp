#include "DocumentModel/IXConnectionNode.h"

#include "DocumentModel/IXConnectionNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "Platform/Core/PLIdentity.h"

#include <QFileInfo>

IXConnectionNode::IXConnectionNode()
{
    initType(TypeConnection, SubtypeNone);
}

IXConnectionNode::IXConnectionNode(const IXConnectionNode& other)
    : UTObserver()
    , IXReferenceNode(other)
    , IXNodeObserver()
{
    m_styles.take(IXStyleCarrier::stylesForCopy(other, other.m_styles));
}

IXConnectionNode::~IXConnectionNode() = default;

std::shared_ptr<IXNode> IXConnectionNode::copy() const
{
    return std::shared_ptr<IXNode>(new IXConnectionNode(*this));
}

std::shared_ptr<IXNode> IXConnectionNode::targetNode() const
{
    if (std::shared_ptr<IXNode> cached = m_targetNode.lock()) return cached;
    dropTargetNode();
    if (relatedLink()) return nullptr;
    std::shared_ptr<IXNode> target = targetValue().node();
    if (!target) return nullptr;
    m_targetNode = target;
    if (UTBroadcaster* broadcaster = observers()) {
        m_watchedTarget = PLIdentityOf(target.get());
        broadcaster->addObserverTarget(const_cast<IXConnectionNode*>(this), m_watchedTarget);
    }
    return target;
}

void IXConnectionNode::dropTargetNode() const
{
    m_targetNode.reset();
    if (!m_watchedTarget) return;
    if (UTBroadcaster* broadcaster = observers())
        broadcaster->removeObserverTarget(const_cast<IXConnectionNode*>(this), m_watchedTarget);
    m_watchedTarget = nullptr;
}

void IXConnectionNode::setTargetNode(const std::shared_ptr<IXNode>& node)
{
    setTargetRef(node ? targetRefWithLocation(LocationBranch, node->uniqueId()) : QString());
}

void IXConnectionNode::notifyPropertyChange(const QString& property)
{
    const bool retargeted = property == IXProperties::TargetRef;
    if (retargeted) dropTargetNode();
    IXReferenceNode::notifyPropertyChange(property);
    send(IXConnectionNodeDidChangeProperty, this, property);
    if (retargeted && parentNode()) parentNode()->notifyPropertyChange(IXProperties::ConnectionTargetRef);
}

IXReferenceOpening IXConnectionNode::referenceToOpen() const
{
    if (const std::shared_ptr<IXReferenceNode>& link = relatedLink()) {
        // A link to another document's file: its branch is found there once it is open.
        IXReferenceOpening opening;
        opening.reference = std::const_pointer_cast<IXConnectionNode>(std::static_pointer_cast<const IXConnectionNode>(shared_from_this()));
        const QString path = link->targetValue().text();
        if (path.isEmpty() || !QFileInfo::exists(path)) return opening;
        opening.kind = IXReferenceOpening::Kind::BranchInDocument;
        opening.path = path;
        opening.expandsBranchesAbove = true;
        return opening;
    }
    IXReferenceOpening opening = IXReferenceNode::referenceToOpen();
    const std::shared_ptr<IXNode> target = targetValue().node();
    if (target && target->isBranch()) {
        opening.kind = IXReferenceOpening::Kind::Branch;
        opening.branch = target;
        opening.expandsBranchesAbove = true;
    }
    return opening;
}

bool IXConnectionNode::respondsToSelector(std::string_view selector) const
{
    return selector == IXNodeDetach;
}

void IXConnectionNode::notifiedOfNodeDetach(IXNode* node)
{
    if (m_watchedTarget && PLIdentityOf(node) == m_watchedTarget) dropTargetNode();
}

void IXConnectionNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXReferenceNode::attachToDocumentNode(document);
    m_styles.restore(*this);
}

void IXConnectionNode::detachFromDocumentNode()
{
    if (!documentNode()) return;
    m_styles.save(*this);
    dropTargetNode();
    IXReferenceNode::detachFromDocumentNode();
}

bool IXConnectionNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXReferenceNode::initWithParent(parent, element, error)) return false;
    initType(TypeConnection, subtype());
    return true;
}

PLXMLElement IXConnectionNode::XMLElement(PLXMLElement parent)
{
    uniqueId();  // a connection always carries its id, so it stays the same across reopening
    return referenceXMLElement(parent, "connection");
}
