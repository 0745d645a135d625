#include "Platform/Drawing/PLSvgPicture.h"

#include "Platform/Drawing/PLImage.h"

#include <QRegularExpression>
#include <QSvgRenderer>

#include <libxml/parser.h>
#include <libxml/SAX2.h>
#include <libxml/tree.h>
#include <zlib.h>

#include <climits>
#include <vector>

namespace {

PLError svgError(const QString& reason)
{
    return PLError(PLImage::ErrorDomain, PLImage::DamagedDataError, {{PLError::FailureReasonKey, reason}});
}

bool isGzip(const QByteArray& bytes)
{
    return bytes.size() >= 2 && uchar(bytes[0]) == 0x1f && uchar(bytes[1]) == 0x8b;
}

// The inflated text of gzip data, or nothing when it is damaged or inflates beyond the limit.
std::optional<QByteArray> gunzip(const QByteArray& bytes)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return std::nullopt;
    QByteArray out;
    char chunk[64 * 1024];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(std::min<qsizetype>(bytes.size(), UINT_MAX));
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) break;
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (out.size() > PLSvgPicture::MaximumInflatedSize) break;
        if (result == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) break;  // truncated
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END || out.size() > PLSvgPicture::MaximumInflatedSize) return std::nullopt;
    return out;
}

// Internal entities are declared as they are, so that their text can be expanded; external
// ones (files, in the end) are declared empty, so that nothing is loaded and their references
// stay well-formed; unparsed ones are left out.
void onEntityDecl(void* context, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                  xmlChar* content)
{
    static xmlChar nothing[] = "";
    switch (type) {
    case XML_INTERNAL_GENERAL_ENTITY:
    case XML_INTERNAL_PARAMETER_ENTITY: xmlSAX2EntityDecl(context, name, type, publicId, systemId, content); break;
    case XML_EXTERNAL_GENERAL_PARSED_ENTITY:
        xmlSAX2EntityDecl(context, name, XML_INTERNAL_GENERAL_ENTITY, nullptr, nullptr, nothing);
        break;
    case XML_EXTERNAL_PARAMETER_ENTITY:
        xmlSAX2EntityDecl(context, name, XML_INTERNAL_PARAMETER_ENTITY, nullptr, nullptr, nothing);
        break;
    default: break;
    }
}

void onUnparsedEntityDecl(void*, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {}
void onExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
xmlParserInputPtr onResolveEntity(void*, const xmlChar*, const xmlChar*)
{
    return nullptr;
}

QString text(const xmlChar* value)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

// A reference that stays inside the picture: its own data, or an element of its own.
bool isInsideReference(QString reference, bool fragmentAllowed)
{
    reference = reference.trimmed();
    if (reference.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return true;
    return fragmentAllowed && reference.startsWith(QLatin1Char('#'));
}

// CSS with every url() that leaves the picture replaced by "none" and every @import removed.
QString sanitizedCss(const QString& css, bool* changed)
{
    static const QRegularExpression importRule(QStringLiteral("@import[^;]*;?"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression url(QStringLiteral("url\\s*\\(\\s*(['\"]?)([^)'\"]*)\\1\\s*\\)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString result = css;
    result.remove(importRule);
    QString out;
    qsizetype at = 0;
    for (auto it = url.globalMatch(result); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(result).mid(at, match.capturedStart() - at);
        out += isInsideReference(match.captured(2), true) ? match.captured(0) : QStringLiteral("none");
        at = match.capturedEnd();
    }
    out += QStringView(result).mid(at);
    // An unterminated url( that the pattern did not take is cut off rather than guessed at.
    static const QRegularExpression openUrl(QStringLiteral("url\\s*\\([^)]*$"), QRegularExpression::CaseInsensitiveOption);
    out.remove(openUrl);
    *changed = out != css;
    return out;
}

void sanitizeElement(xmlNode* element)
{
    const bool isImage = xmlStrEqual(element->name, BAD_CAST "image") || xmlStrEqual(element->name, BAD_CAST "feImage");
    for (xmlAttr* attribute = element->properties; attribute;) {
        xmlAttr* next = attribute->next;
        xmlChar* raw = xmlNodeListGetString(element->doc, attribute->children, 1);
        const QString value = raw ? text(raw) : QString();
        xmlFree(raw);
        if (xmlStrEqual(attribute->name, BAD_CAST "href") || xmlStrEqual(attribute->name, BAD_CAST "src")) {
            // A picture's "#id" would be opened as a file name of that text.
            if (!isInsideReference(value, !isImage)) xmlRemoveProp(attribute);
        } else if (value.contains(QLatin1String("url"), Qt::CaseInsensitive) || value.contains(QLatin1Char('@'))) {
            bool changed = false;
            const QByteArray css = sanitizedCss(value, &changed).toUtf8();
            if (changed) xmlSetNsProp(element, attribute->ns, attribute->name, BAD_CAST css.constData());
        }
        attribute = next;
    }
}

// An animation that would set a reference later, beyond what the attributes say now.
bool animatesReference(xmlNode* element)
{
    if (!xmlStrEqual(element->name, BAD_CAST "set") && !xmlStrEqual(element->name, BAD_CAST "animate")) return false;
    xmlChar* name = xmlGetProp(element, BAD_CAST "attributeName");
    const bool reference = name && QByteArrayView(reinterpret_cast<const char*>(name)).endsWith("href");
    xmlFree(name);
    return reference;
}

// Rewrites the tree in place, iteratively: processing instructions go, and so do all
// references that leave the picture.
void sanitizeTree(xmlDoc* doc)
{
    if (xmlDtd* dtd = doc->intSubset) {
        xmlUnlinkNode(reinterpret_cast<xmlNode*>(dtd));
        doc->intSubset = nullptr;
        xmlFreeDtd(dtd);
    }
    std::vector<xmlNode*> removed;
    xmlNode* node = doc->children;
    while (node) {
        if (node->type == XML_PI_NODE || node->type == XML_ENTITY_REF_NODE || node->type == XML_DTD_NODE) {
            removed.push_back(node);
        } else if (node->type == XML_ELEMENT_NODE && animatesReference(node)) {
            removed.push_back(node);
        } else if (node->type == XML_ELEMENT_NODE) {
            sanitizeElement(node);
            if (xmlStrEqual(node->name, BAD_CAST "style")) {
                xmlChar* raw = xmlNodeGetContent(node);
                bool changed = false;
                const QByteArray css = sanitizedCss(raw ? text(raw) : QString(), &changed).toUtf8();
                xmlFree(raw);
                if (changed) {
                    xmlNodeSetContent(node, nullptr);
                    xmlNodeAddContentLen(node, BAD_CAST css.constData(), int(css.size()));
                }
            } else if (node->children) {
                node = node->children;
                continue;
            }
        }
        while (node && !node->next && node->parent && node->parent != reinterpret_cast<xmlNode*>(doc)) node = node->parent;
        node = node ? node->next : nullptr;
    }
    for (xmlNode* gone : removed) {
        xmlUnlinkNode(gone);
        xmlFreeNode(gone);
    }
}

}  // namespace

std::optional<QByteArray> PLSvgPicture::sanitized(const QByteArray& bytes, PLError* error)
{
    const auto refuse = [error](const QString& reason) -> std::optional<QByteArray> {
        PLSetError(error, svgError(reason));
        return std::nullopt;
    };
    std::optional<QByteArray> plain = bytes;
    if (isGzip(bytes)) plain = gunzip(bytes);
    if (!plain) return refuse(QStringLiteral("The compressed SVG picture is damaged or too large."));
    if (plain->isEmpty() || plain->size() > MaximumInflatedSize) return refuse(QStringLiteral("The SVG picture is empty or too large."));

    xmlInitParser();
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) throw std::bad_alloc();
    context->sax->entityDecl = onEntityDecl;
    context->sax->unparsedEntityDecl = onUnparsedEntityDecl;
    context->sax->externalSubset = onExternalSubset;
    context->sax->resolveEntity = onResolveEntity;
    // Entities are expanded (only internal ones exist) so that the document type can go; the
    // parser's limits on depth and on entity amplification stay on (no XML_PARSE_HUGE).
    const int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    xmlDoc* doc = xmlCtxtReadMemory(context, plain->constData(), int(plain->size()), nullptr, nullptr, options);
    const bool wellFormed = context->wellFormed;
    xmlFreeParserCtxt(context);
    xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    if (!doc || !wellFormed || !root || !xmlStrEqual(root->name, BAD_CAST "svg")) {
        if (doc) xmlFreeDoc(doc);
        return refuse(QStringLiteral("The SVG picture is no well-formed SVG."));
    }
    sanitizeTree(doc);
    xmlChar* out = nullptr;
    int length = 0;
    xmlDocDumpMemoryEnc(doc, &out, &length, "UTF-8");
    xmlFreeDoc(doc);
    if (!out) throw std::bad_alloc();
    QByteArray result(reinterpret_cast<const char*>(out), length);
    xmlFree(out);
    return result;
}

std::unique_ptr<QSvgRenderer> PLSvgPicture::renderer(const QByteArray& bytes, PLError* error)
{
    const std::optional<QByteArray> safe = sanitized(bytes, error);
    if (!safe) return nullptr;
    auto renderer = std::make_unique<QSvgRenderer>(*safe);
    if (!renderer->isValid()) {
        PLSetError(error, svgError(QStringLiteral("The SVG picture cannot be read.")));
        return nullptr;
    }
    return renderer;
}
