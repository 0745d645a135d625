#include "DocumentModel/IXStyleCarrier.h"

void IXStyleCarrier::save(IXNode& node)
{
    if (IXDocumentNode* document = node.documentNode()) m_saved = document->styleAttributesForNode(&node);
}

void IXStyleCarrier::restore(IXNode& node)
{
    IXDocumentNode* document = node.documentNode();
    if (m_saved.isEmpty() || !document) return;
    document->setStyleAttributesForNode(m_saved, &node);
    m_saved.clear();
}

IXStyleCarrier::Styles IXStyleCarrier::stylesForCopy(const IXNode& node, const IXStyleCarrier& carrier)
{
    // Reading the styles makes no change to the node; the document asks for a plain pointer.
    IXDocumentNode* document = node.documentNode();
    return document ? document->styleAttributesForNode(const_cast<IXNode*>(&node)) : carrier.m_saved;
}
