// The document node's layouts and style sheets.
#include "DocumentModel/IXDocumentNode.h"

#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleSheetNode.h"

const QString IXDocumentNode::DocumentStyleSheetKey = QStringLiteral(".document");

namespace {
const QString DocumentStylesPart = QStringLiteral("document.styles");
}

std::shared_ptr<IXLayoutNode> IXDocumentNode::layoutForName(const QString& name)
{
    auto found = m_layouts.find(name);
    if (found != m_layouts.end()) return found->second;
    auto layout = std::make_shared<IXLayoutNode>(name);
    m_layouts.emplace(name, layout);
    layout->setParentNode(this);
    return layout;
}

std::shared_ptr<IXStyleSheetNode> IXDocumentNode::styleSheet()
{
    if (!m_styleSheet) m_styleSheet = IXStyleSheetNode::loadForOwner(this, this, DocumentStylesPart);
    return m_styleSheet;
}

IXDocumentNode::StyleAttributesBySheet IXDocumentNode::styleAttributesForNode(IXNode* node)
{
    StyleAttributesBySheet result;
    // Nodes leaving a document that is going away need not take their styles along.
    if (m_deallocating || !node || node->existingUniqueId().isEmpty()) return result;
    const QString& uid = node->existingUniqueId();
    for (const auto& [name, layout] : m_layouts) {
        if (const std::shared_ptr<IXStyleNode> style = layout->styleSheet()->existingStyleForRef(uid)) {
            if (!style->attributes().isEmpty()) result.insert(name, style->attributes());
        }
    }
    if (m_styleSheet) {
        if (const std::shared_ptr<IXStyleNode> style = m_styleSheet->existingStyleForRef(uid)) {
            if (!style->attributes().isEmpty()) result.insert(DocumentStyleSheetKey, style->attributes());
        }
    }
    return result;
}

void IXDocumentNode::setStyleAttributesForNode(const StyleAttributesBySheet& attributes, IXNode* node)
{
    if (!node) return;
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it) {
        const std::shared_ptr<IXStyleSheetNode> sheet =
            it.key() == DocumentStyleSheetKey ? styleSheet() : layoutForName(it.key())->styleSheet();
        sheet->styleForNode(node)->setAttributes(it.value());
    }
}

void IXDocumentNode::clearStyleAttributesForNode(IXNode* node)
{
    for (const auto& entry : m_layouts) {
        if (entry.second->hasStyleSheet()) entry.second->styleSheet()->clearStyleForNode(node);
    }
    if (m_styleSheet) m_styleSheet->clearStyleForNode(node);
}

bool IXDocumentNode::saveStyleSheet(PLError* error)
{
    if (!m_styleSheet) return true;
    return m_styleSheet->saveToPart(this, DocumentStylesPart, error);
}

void IXDocumentNode::releaseStyles()
{
    // Layout sheets inherit from the document sheet: they go first.
    const auto layouts = m_layouts;
    m_layouts.clear();
    for (const auto& entry : layouts) {
        if (entry.second->parentNode() == this) entry.second->setParentNode(nullptr);
    }
    if (const std::shared_ptr<IXStyleSheetNode> sheet = std::exchange(m_styleSheet, nullptr)) {
        if (sheet->parentNode() == this) sheet->setParentNode(nullptr);
    }
}
