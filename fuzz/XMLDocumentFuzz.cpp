// Parses arbitrary bytes as XML and walks the result with the typed readers: nothing may
// crash, hang or leak, whatever the input.
#include "Platform/XML/PLXMLDocument.h"
#include "Utilities/UTConversions.h"
#include "Utilities/UTXMLAttributes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    UTConversions::colorFromString(QString::fromLatin1(bytes));
    PLError error;
    PLXMLDocument document = PLXMLDocument::fromData(bytes, &error);
    if (!document) return 0;
    // Iterative walk: the depth of the input must not reach the stack.
    std::vector<PLXMLElement> pending{document.rootElement()};
    while (!pending.empty()) {
        PLXMLElement element = pending.back();
        pending.pop_back();
        UTXMLAttributes::pointValueForAttribute(element, "a", {});
        UTXMLAttributes::colorValueForAttribute(element, "c", {});
        UTXMLAttributes::longLongValueForAttribute(element, "n", 0);
        element.text();
        for (PLXMLElement child = element.firstChildElement(); child; child = child.nextSiblingElement())
            pending.push_back(child);
    }
    PLXMLDocument::fromData(document.xmlData());
    return 0;
}
