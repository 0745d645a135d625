#include "DocumentModel/IXTargetValue.h"

#include "DocumentModel/IXMCStoredItem.h"
#include "DocumentModel/IXNode.h"

IXTargetValue::IXTargetValue(Kind kind, const QString& text, const QUrl& url, std::shared_ptr<IXMCStoredItem> item,
                             std::shared_ptr<IXNode> node)
    : m_kind(kind), m_text(text), m_url(url), m_item(std::move(item)), m_node(std::move(node))
{
}

IXTargetValue IXTargetValue::fromText(const QString& text)
{
    return IXTargetValue(Kind::Text, text, {}, nullptr, nullptr);
}

IXTargetValue IXTargetValue::fromURL(const QUrl& url)
{
    return url.isValid() ? IXTargetValue(Kind::URL, {}, url, nullptr, nullptr) : IXTargetValue();
}

IXTargetValue IXTargetValue::fromCatalogItem(std::shared_ptr<IXMCStoredItem> item)
{
    return item ? IXTargetValue(Kind::CatalogItem, {}, {}, std::move(item), nullptr) : IXTargetValue();
}

IXTargetValue IXTargetValue::fromNode(std::shared_ptr<IXNode> node)
{
    return node ? IXTargetValue(Kind::Node, {}, {}, nullptr, std::move(node)) : IXTargetValue();
}
