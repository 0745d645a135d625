#include "Platform/XML/PLXMLElement.h"

#include "Platform/Core/PLAssert.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>

namespace {
const char* chars(const xmlChar* s)
{
    return reinterpret_cast<const char*>(s);
}

// Compares a node's qualified name (prefix:local or local) with wanted, without allocating.
bool qualifiedNameEquals(const xmlChar* local, const xmlNs* ns, QByteArrayView wanted)
{
    if (!local) return false;
    if (ns && ns->prefix) {
        const qsizetype prefixLength = qsizetype(std::strlen(chars(ns->prefix)));
        if (wanted.size() <= prefixLength || wanted[prefixLength] != ':'
            || std::memcmp(wanted.data(), ns->prefix, size_t(prefixLength)) != 0)
            return false;
        wanted = wanted.sliced(prefixLength + 1);
    }
    const qsizetype localLength = qsizetype(std::strlen(chars(local)));
    return wanted.size() == localLength && std::memcmp(wanted.data(), local, size_t(localLength)) == 0;
}

bool isElementNamed(const xmlNode* node, QByteArrayView name)
{
    return node->type == XML_ELEMENT_NODE && (name.isEmpty() || qualifiedNameEquals(node->name, node->ns, name));
}

xmlAttr* findAttribute(const xmlNode* node, QByteArrayView name)
{
    if (!node) return nullptr;
    for (xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
        if (qualifiedNameEquals(attribute->name, attribute->ns, name)) return attribute;
    }
    return nullptr;
}

// A name as a NUL-terminated string, on the stack for the short names documents use.
class NameBuffer {
public:
    explicit NameBuffer(QByteArrayView name)
    {
        if (name.size() < qsizetype(sizeof m_inline)) {
            std::memcpy(m_inline, name.data(), size_t(name.size()));
            m_inline[name.size()] = '\0';
            m_chars = m_inline;
        } else {
            m_heap = QByteArray(name.data(), name.size());
            m_chars = m_heap.constData();
        }
    }
    const xmlChar* get() const { return reinterpret_cast<const xmlChar*>(m_chars); }

private:
    char m_inline[128];
    QByteArray m_heap;
    const char* m_chars;
};

bool isValidTerminatedName(const NameBuffer& name)
{
    return name.get()[0] != 0 && xmlValidateQName(name.get(), 0) == 0;
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}
}

QString PLXMLElement::name() const
{
    if (!m_node) return QString();
    const QString local = QString::fromUtf8(chars(m_node->name));
    if (m_node->ns && m_node->ns->prefix) return QString::fromUtf8(chars(m_node->ns->prefix)) + QLatin1Char(':') + local;
    return local;
}

bool PLXMLElement::hasName(QByteArrayView name) const
{
    return m_node && qualifiedNameEquals(m_node->name, m_node->ns, name);
}

PLXMLElement PLXMLElement::parent() const
{
    if (!m_node || !m_node->parent || m_node->parent->type != XML_ELEMENT_NODE) return PLXMLElement();
    return PLXMLElement(m_node->parent);
}

PLXMLElement PLXMLElement::firstChildElement(QByteArrayView name) const
{
    if (!m_node) return PLXMLElement();
    for (xmlNode* child = m_node->children; child; child = child->next) {
        if (isElementNamed(child, name)) return PLXMLElement(child);
    }
    return PLXMLElement();
}

PLXMLElement PLXMLElement::lastChildElement(QByteArrayView name) const
{
    if (!m_node) return PLXMLElement();
    for (xmlNode* child = m_node->last; child; child = child->prev) {
        if (isElementNamed(child, name)) return PLXMLElement(child);
    }
    return PLXMLElement();
}

PLXMLElement PLXMLElement::nextSiblingElement(QByteArrayView name) const
{
    if (!m_node) return PLXMLElement();
    for (xmlNode* sibling = m_node->next; sibling; sibling = sibling->next) {
        if (isElementNamed(sibling, name)) return PLXMLElement(sibling);
    }
    return PLXMLElement();
}

QList<PLXMLElement> PLXMLElement::childElements(QByteArrayView name) const
{
    QList<PLXMLElement> result;
    for (PLXMLElement child = firstChildElement(name); child; child = child.nextSiblingElement(name)) result.append(child);
    return result;
}

PLXMLElement PLXMLElement::addChildElement(QByteArrayView name)
{
    PL_ASSERT(m_node);
    const NameBuffer nameBytes(name);
    PL_ASSERT(!name.contains('\0') && isValidTerminatedName(nameBytes));
    xmlNode* child = xmlNewDocNode(m_node->doc, nullptr, nameBytes.get(), nullptr);
    if (!child) throw std::bad_alloc();
    xmlAddChild(m_node, child);
    return PLXMLElement(child);
}

void PLXMLElement::remove()
{
    if (!m_node) return;
    xmlUnlinkNode(m_node);
    xmlFreeNode(m_node);
    m_node = nullptr;
}

bool PLXMLElement::hasAttribute(QByteArrayView name) const
{
    return findAttribute(m_node, name) != nullptr;
}

std::optional<QByteArray> PLXMLElement::attributeBytes(QByteArrayView name) const
{
    const xmlAttr* attribute = findAttribute(m_node, name);
    if (!attribute) return std::nullopt;
    const xmlNode* value = attribute->children;
    if (!value) return QByteArray("");
    // The common case, one text node, is read in place.
    if (value->type == XML_TEXT_NODE && !value->next) return QByteArray(chars(value->content));
    xmlChar* joined = xmlNodeListGetString(m_node->doc, value, 1);
    QByteArray result(joined ? chars(joined) : "");
    xmlFree(joined);
    return result;
}

QString PLXMLElement::attribute(QByteArrayView name) const
{
    const xmlAttr* found = findAttribute(m_node, name);
    if (!found) return QString();
    const xmlNode* value = found->children;
    // The common case, one text node, is converted in place, without a copy of the bytes.
    if (value && value->type == XML_TEXT_NODE && !value->next && value->content && value->content[0])
        return QString::fromUtf8(chars(value->content));
    const std::optional<QByteArray> bytes = attributeBytes(name);
    QString text = QString::fromUtf8(bytes.value_or(QByteArray()));
    if (text.isNull()) text = QStringLiteral(""); // present but empty is not missing
    return text;
}

void PLXMLElement::setAttribute(QByteArrayView name, QStringView value)
{
    PL_ASSERT(m_node);
    const NameBuffer nameBytes(name);
    PL_ASSERT(!name.contains('\0') && isValidTerminatedName(nameBytes));
    const QByteArray valueBytes = xmlSafeUtf8(value);
    xmlSetProp(m_node, nameBytes.get(), reinterpret_cast<const xmlChar*>(valueBytes.constData()));
}

void PLXMLElement::removeAttribute(QByteArrayView name)
{
    if (xmlAttr* attribute = findAttribute(m_node, name)) xmlRemoveProp(attribute);
}

QString PLXMLElement::text() const
{
    if (!m_node) return QString();
    // The common case, one text node, is converted in place, without a copy of the bytes.
    if (const xmlNode* only = m_node->children; only && !only->next && only->type == XML_TEXT_NODE && only->content)
        return QString::fromUtf8(chars(only->content));
    xmlChar* content = xmlNodeGetContent(m_node);
    QString result = QString::fromUtf8(content ? chars(content) : "");
    xmlFree(content);
    return result;
}

void PLXMLElement::setText(QStringView text)
{
    PL_ASSERT(m_node);
    for (xmlNode* child = m_node->children; child;) {
        xmlNode* next = child->next;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
        child = next;
    }
    const QByteArray bytes = xmlSafeUtf8(text);
    if (bytes.isEmpty()) return;
    // A text node holds its content literally; "&" and "<" are escaped when serialised.
    xmlNode* node = xmlNewDocTextLen(m_node->doc, reinterpret_cast<const xmlChar*>(bytes.constData()), int(bytes.size()));
    if (!node) throw std::bad_alloc();
    xmlAddChild(m_node, node);
}

bool PLXMLElement::isValidName(QByteArrayView name)
{
    return !name.contains('\0') && isValidTerminatedName(NameBuffer(name));
}

QByteArray PLXMLElement::xmlSafeUtf8(QStringView text)
{
    const bool clean = std::none_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD) || (u >= 0xD800 && u <= 0xDFFF) || u >= 0xFFFE;
    });
    if (clean) return text.toUtf8();

    QByteArray out;
    out.reserve(text.size() * 3);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
                ++i;
            } else {
                continue; // a lone high surrogate
            }
        }
        if (isXmlChar(c)) appendUtf8(out, c); // lone low surrogates fall outside as well
    }
    return out;
}
