#include "DocumentModel/IXStyleCarrier.h"

#include "DocumentModel/IXDocumentNode.h"

namespace {

// The node's styles in the document's sheets.
QVariantMap documentStyles(IXDocumentNode* document, const IXNode& node)
{
    if (!document) return {};
    return {};
}

void setDocumentStyles(IXDocumentNode* document, const QVariantMap& styles, const IXNode& node)
{
    if (!document || styles.isEmpty()) return;
}

}  // namespace

void IXStyleCarrier::save(const IXNode& node)
{
    m_saved = documentStyles(node.documentNode(), node);
}

void IXStyleCarrier::restore(const IXNode& node)
{
    if (m_saved.isEmpty() || !node.documentNode()) return;
    setDocumentStyles(node.documentNode(), m_saved, node);
    m_saved.clear();
}

QVariantMap IXStyleCarrier::stylesForCopy(const IXNode& node, const IXStyleCarrier& carrier)
{
    return node.documentNode() ? documentStyles(node.documentNode(), node) : carrier.m_saved;
}
