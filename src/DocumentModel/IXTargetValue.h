#pragma once

#include <QString>
#include <QUrl>

#include <memory>

class IXMCStoredItem;
class IXNode;

// What a reference's target resolves to, by the kind of its location: a text (the file path,
// mail address, package-part name or bare value), a URL (web links), a catalog item ("mmc:")
// or a node of the document ("branch:"). A null value means the target did not resolve.
class IXTargetValue {
public:
    enum class Kind { None, Text, URL, CatalogItem, Node };

    IXTargetValue() = default;
    static IXTargetValue fromText(const QString& text);
    // An invalid URL gives the null value.
    static IXTargetValue fromURL(const QUrl& url);
    // A null item or node gives the null value.
    static IXTargetValue fromCatalogItem(std::shared_ptr<IXMCStoredItem> item);
    static IXTargetValue fromNode(std::shared_ptr<IXNode> node);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::None; }
    // The text of a Text value, else an empty string.
    const QString& text() const { return m_text; }
    // The URL of a URL value, else an empty URL.
    const QUrl& url() const { return m_url; }
    const std::shared_ptr<IXMCStoredItem>& catalogItem() const { return m_item; }
    const std::shared_ptr<IXNode>& node() const { return m_node; }

private:
    IXTargetValue(Kind kind, const QString& text, const QUrl& url, std::shared_ptr<IXMCStoredItem> item,
                  std::shared_ptr<IXNode> node);

    Kind m_kind = Kind::None;
    QString m_text;
    QUrl m_url;
    std::shared_ptr<IXMCStoredItem> m_item;
    std::shared_ptr<IXNode> m_node;
};
