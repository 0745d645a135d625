// Reads arbitrary bytes as an element of "contents.xml" (reference, link, picture, comment,
// note or connection, by the root's name) inside a document, and the same bytes as the
// rich text of a note's part; then writes the node again. Nothing may crash, hang, recurse
// without bound or leak, whatever the input. Seeds: fuzz/corpus/reference.
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNodeElementRegistry.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "Platform/XML/PLXMLDocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    auto document = std::make_shared<IXDocumentNode>();
    document->packageParts().setData(bytes, QStringLiteral("PART"));

    // The bytes as a note's stored text.
    auto note = std::make_shared<IXCommentNode>();
    note->setParentNode(document.get());
    note->setTargetRef(QStringLiteral("local:PART"));
    note->text();
    note->title();
    note->setParentNode(nullptr);

    PLError error;
    const PLXMLDocument xml = PLXMLDocument::fromData(bytes, &error);
    if (!xml) return 0;
    const PLXMLElement root = xml.rootElement();
    std::shared_ptr<IXNode> node = IXNodeElementRegistry::makeNode(root.name().toUtf8());
    if (!std::dynamic_pointer_cast<IXReferenceNode>(node)) node = std::make_shared<IXReferenceNode>();
    if (node->initWithParent(document.get(), root, &error)) {
        auto reference = std::static_pointer_cast<IXReferenceNode>(node);
        reference->title();
        // Only resolved: reading the bytes of a file target would read files of this machine.
        reference->targetValue();
        if (auto comment = std::dynamic_pointer_cast<IXCommentNode>(node)) comment->text();
        if (auto picture = std::dynamic_pointer_cast<IXPictureNode>(node)) picture->floatingTargetNode();
        PLXMLDocument written("document");
        node->XMLElement(written.rootElement());
        written.xmlData();
    }
    if (node->parentNode()) node->setParentNode(nullptr);
    return 0;
}
