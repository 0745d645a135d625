// Reads arbitrary bytes as a zip archive and exercises every reading operation and a
// rewrite: nothing may crash, hang or allocate from an unchecked size.
#include "Utilities/UTZipArchive.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PLError error;
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(bytes, &error);
    if (!archive) return 0;
    for (const UTZipArchiveItem& item : archive->items()) {
        archive->dataByPath(item.name(), &error);
        archive->dataByName(item.name().section(QLatin1Char('/'), -1), &error);
    }
    archive->firstFileMatch(QStringLiteral("\\.xml$"), &error);
    archive->filePathsByFileExtension(QStringLiteral("xml"));
    const QByteArray rewritten = archive->getZipData(&error);
    if (!rewritten.isEmpty()) {
        // The same entries come back first; names in the central directory may add more.
        const std::optional<UTZipArchive> again = UTZipArchive::fromData(rewritten, &error);
        if (!again || again->items().size() < archive->items().size()) __builtin_trap();
        for (size_t i = 0; i < archive->items().size(); ++i) {
            if (again->items()[i].name() != archive->items()[i].name()) __builtin_trap();
        }
    }
    return 0;
}
