#include "DocumentModel/IXTargetValue.h"

#include "DocumentModel/IXMCStoredItem.h"
#include "DocumentModel/IXNode.h"

IXTargetValue IXTargetValue::fromText(const QString& text)
{
    IXTargetValue value;
    value.m_kind = Kind::Text;
    value.m_text = text;
    return value;
}

IXTargetValue IXTargetValue::fromURL(const QUrl& url)
{
    IXTargetValue value;
    if (!url.isValid()) return value;
    value.m_kind = Kind::URL;
    value.m_url = url;
    return value;
}

IXTargetValue IXTargetValue::fromCatalogItem(std::shared_ptr<IXMCStoredItem> item)
{
    IXTargetValue value;
    if (!item) return value;
    value.m_kind = Kind::CatalogItem;
    value.m_item = std::move(item);
    return value;
}

IXTargetValue IXTargetValue::fromNode(std::shared_ptr<IXNode> node)
{
    IXTargetValue value;
    if (!node) return value;
    value.m_kind = Kind::Node;
    value.m_node = std::move(node);
    return value;
}
