#include "DocumentModel/IXLayoutNode.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleSheetNode.h"

const QString IXLayoutMindMapName = QStringLiteral("mindmap");
const QString IXLayoutTopDownName = QStringLiteral("topdown");
const QString IXLayoutLeftRightName = QStringLiteral("leftright");
const QString IXLayoutOutlineName = QStringLiteral("outline");
const QString IXLayoutTimelineName = QStringLiteral("timeline");

namespace {
const QString StylesSuffix = QStringLiteral(".styles");
}

IXLayoutNode::IXLayoutNode(const QString& layoutName)
    : m_layoutName(layoutName)
{
}

IXLayoutNode::~IXLayoutNode()
{
    if (m_styleSheet && m_styleSheet->parentNode() == this) m_styleSheet->setParentNode(nullptr);
}

std::shared_ptr<IXNode> IXLayoutNode::copy() const
{
    // A layout is nothing without its name, so the copy keeps it.
    return std::make_shared<IXLayoutNode>(m_layoutName);
}

bool IXLayoutNode::initWithParent(IXNode*, const PLXMLElement&, PLError*)
{
    return false;
}

PLXMLElement IXLayoutNode::XMLElement(PLXMLElement)
{
    return PLXMLElement();
}

std::shared_ptr<IXStyleSheetNode> IXLayoutNode::styleSheet()
{
    if (!m_styleSheet) m_styleSheet = IXStyleSheetNode::loadForOwner(documentNode(), this, m_layoutName + StylesSuffix);
    return m_styleSheet;
}

std::shared_ptr<IXStyleNode> IXLayoutNode::style()
{
    IXDocumentNode* document = documentNode();
    if (!document) return nullptr;
    return styleSheet()->styleForNode(document);
}

void IXLayoutNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXNode::attachToDocumentNode(document);
    if (!document) return;
    document->addObserver(this);
    if (m_styleSheet) m_styleSheet->attachToDocumentNode(document);
}

void IXLayoutNode::detachFromDocumentNode()
{
    if (IXDocumentNode* document = documentNode()) {
        document->removeObserver(this);
        if (m_styleSheet) m_styleSheet->detachFromDocumentNode();
    }
    IXNode::detachFromDocumentNode();
}

bool IXLayoutNode::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXDocumentNodeSave});
}

void IXLayoutNode::notifiedOfDocumentNodeSave(IXDocumentNode* document, PLError* error)
{
    if (!m_styleSheet || (error && *error)) return;
    m_styleSheet->saveToPart(document, m_layoutName + StylesSuffix, error);
}
