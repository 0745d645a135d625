// Validates arbitrary bytes against the package and style-sheet schemas: nothing may crash,
// hang, leak or be loaded from elsewhere, whatever the input. The sample documents of the
// tests (tests/Platform/data) make a good seed corpus.
#include "FuzzSupport.h"

#include "Platform/XML/PLXMLDocument.h"
#include "Platform/XML/PLXMLSchemaValidator.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::useSourceResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PLError error;
    const PLXMLDocument document = PLXMLDocument::fromData(bytes, &error);
    if (document) PLXMLSchemaValidator::validate(document, &error);
    return 0;
}
