// Opens arbitrary bytes as a document package, reads its parts the way the model does and
// saves it: nothing may crash, hang or allocate from an unchecked size; a refusal always
// carries an error; and a package that opened saves and opens again. Seeds: fuzz/corpus/package.
#include "FuzzSupport.h"

#include "DocumentModel/IXDocumentNode.h"
#include "Platform/Core/PLLog.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

[[noreturn]] void failWith(const char* what, const PLError& error)
{
    std::fprintf(stderr, "%s: %s (%s)\n", what, qPrintable(error.failureReason()),
                 qPrintable(error.userInfo().value(PLError::UnderlyingErrorKey).toString()));
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PLLog::setSink([](const QString&) {});  // skipped parts and elements are logged; keep the output readable
    FuzzSupport::useSourceResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PLError error;
    const std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(bytes, &error);
    if (!document) {
        if (error.failureReason().isEmpty()) failWith("refused without a reason", error);
        return 0;
    }

    // Every part as its readers take it: option parts cached (so that they are saved again),
    // XML parts parsed and validated, the rest as bytes.
    for (const UTZipArchiveItem& item : document->packageParts().zipArchive()->items()) {
        const QString name = item.name().section(QLatin1Char('/'), -1);
        PLError partError;
        if (name.endsWith(QLatin1String(".plist"), Qt::CaseInsensitive) && name.size() > 6) {
            document->packageParts().optionsForName(name.chopped(6));
        } else if (name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) && name.size() > 4) {
            document->xmlNamed(name.chopped(4), &partError);
        } else if (!name.isEmpty()) {
            document->packageParts().dataNamed(name, &partError);
        }
    }
    document->ignoredWords();
    document->saveIgnoredWords();

    PLError saveError;
    const std::optional<QByteArray> saved = document->zipData(&saveError);
    // Only an archive beyond the zip format's limits may refuse to be written.
    if (!saved) {
        if (document->packageParts().zipArchive()->items().size() <= 65535) failWith("save failed", saveError);
        return 0;
    }
    PLError reopenError;
    if (!IXDocumentNode::fromZipData(*saved, &reopenError)) failWith("saved package does not open", reopenError);
    return 0;
}
