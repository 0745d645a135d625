#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

struct _xmlNode;

// A cheap, non-owning handle to an element of a PLXMLDocument. The document owns every node;
// a handle stays valid while its document lives and the element has not been removed (by
// remove(), by setText() on an ancestor, or by replacing the root). A default-constructed
// handle is null: reading from it gives nothing, writing to it is a programming error.
//
// Names are qualified names as written ("title", "a:solidFill"), compared byte for byte.
// Values are set literally (no entity interpretation); characters that XML 1.0 forbids are
// dropped when a value is set, so that a document built here always serialises to well-formed
// XML.
class PLXMLElement {
public:
    PLXMLElement() = default;

    bool isNull() const { return m_node == nullptr; }
    explicit operator bool() const { return m_node != nullptr; }
    bool operator==(const PLXMLElement&) const = default;

    QString name() const;
    bool hasName(QByteArrayView name) const;

    // Navigation over element children only; an empty name matches every element.
    PLXMLElement parent() const;
    PLXMLElement firstChildElement(QByteArrayView name = {}) const;
    PLXMLElement lastChildElement(QByteArrayView name = {}) const;
    PLXMLElement nextSiblingElement(QByteArrayView name = {}) const;
    QList<PLXMLElement> childElements(QByteArrayView name = {}) const;

    // Appends a new element, owned by the document. The name must be a valid XML name.
    PLXMLElement addChildElement(QByteArrayView name);
    // Unlinks and frees this element and everything below it; the handle becomes null.
    void remove();

    bool hasAttribute(QByteArrayView name) const;
    // The attribute's text: a null string when the attribute is missing, an empty one when
    // it is empty.
    QString attribute(QByteArrayView name) const;
    // The same as UTF-8 bytes, for number parsing without a detour through UTF-16.
    std::optional<QByteArray> attributeBytes(QByteArrayView name) const;
    // Sets (or replaces) the attribute. The name must be a valid XML name.
    void setAttribute(QByteArrayView name, QStringView value);
    void removeAttribute(QByteArrayView name);

    // The text of the element: all text below it, concatenated.
    QString text() const;
    // Replaces every child (elements included) by one text node.
    void setText(QStringView text);

    // True for a valid XML (qualified) name.
    static bool isValidName(QByteArrayView name);
    // UTF-8 of text without the characters XML 1.0 forbids (C0 controls other than tab, line
    // feed and carriage return, lone surrogates, U+FFFE and U+FFFF).
    static QByteArray xmlSafeUtf8(QStringView text);

private:
    friend class PLXMLDocument;
    explicit PLXMLElement(_xmlNode* node) : m_node(node) {}

    _xmlNode* m_node = nullptr;
};
