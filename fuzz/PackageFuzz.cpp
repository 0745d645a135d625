// Opens arbitrary bytes as a document package, reads its parts the way the model does and
// saves it: nothing may crash, hang or allocate from an unchecked size; a refusal always
// carries an error; and a package that opened saves and opens again. Seeds: fuzz/corpus/package.
#include "DocumentModel/IXDocumentNode.h"
#include "Platform/PLLog.h"
#include "Platform/PLResources.h"

#include <QDir>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PLLog::setSink([](const QString&) {});  // skipped parts and elements are logged; keep the output readable
    const QByteArray sourceDir = qgetenv("IX_SOURCE_DIR");
    PLResources::setDirectory(sourceDir.isEmpty()
                                  ? QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../resources"))
                                  : QString::fromUtf8(sourceDir) + QStringLiteral("/resources"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PLError error;
    const std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(bytes, &error);
    if (!document) {
        if (error.failureReason().isEmpty()) __builtin_trap();
        return 0;
    }

    // Every part as its readers take it: option parts cached (so that they are saved again),
    // XML parts parsed and validated, the rest as bytes.
    for (const UTZipArchiveItem& item : document->zipArchive()->items()) {
        const QString name = item.name().section(QLatin1Char('/'), -1);
        if (name.isEmpty()) continue;
        PLError partError;
        if (name.endsWith(QLatin1String(".plist"), Qt::CaseInsensitive)) {
            document->optionsForName(name.chopped(6));
        } else if (name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)) {
            document->xmlNamed(name.chopped(4), &partError);
        } else {
            document->dataNamed(name, &partError);
        }
    }
    document->ignoredWords();
    document->saveIgnoredWords();

    const std::optional<QByteArray> saved = document->zipData();
    // Only an archive beyond the zip format's limits may refuse to be written.
    if (!saved) {
        if (document->zipArchive()->items().size() <= 65535) __builtin_trap();
        return 0;
    }
    PLError reopenError;
    if (!IXDocumentNode::fromZipData(*saved, &reopenError)) __builtin_trap();
    return 0;
}
