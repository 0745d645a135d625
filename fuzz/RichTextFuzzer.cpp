// Feeds arbitrary bytes to the RTF and RTFD readers. Whatever they read must write and read
// back as the same text with the same attributes (attachments may get other file names when
// two share one) and the same table structure (the same cells of tables that correspond one
// to one), and the RTF with embedded pictures must read without error. Seeds:
// fuzz/corpus/richtext.
#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"

#include <QHash>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Tables are new objects on every reading: they correspond when they match one to one.
bool sameTables(const PLTextAttributes& x, const PLTextAttributes& y, QHash<const PLTextTable*, const PLTextTable*>& mapping,
                QHash<const PLTextTable*, const PLTextTable*>& reverse)
{
    const QList<PLTextTableBlock> none;
    const QList<PLTextTableBlock>& a = x.paragraphStyle ? x.paragraphStyle->textBlocks : none;
    const QList<PLTextTableBlock>& b = y.paragraphStyle ? y.paragraphStyle->textBlocks : none;
    if (a.size() != b.size()) return false;
    for (qsizetype level = 0; level < a.size(); ++level) {
        if (!a[level].sameCell(b[level])) return false;
        const PLTextTable* from = a[level].table.get();
        const PLTextTable* to = b[level].table.get();
        if (mapping.value(from, to) != to || reverse.value(to, from) != from) return false;
        mapping.insert(from, to);
        reverse.insert(to, from);
    }
    return true;
}

bool sameIgnoringFileNames(const PLAttributedString& a, const PLAttributedString& b)
{
    if (a.string() != b.string()) return false;
    QHash<const PLTextTable*, const PLTextTable*> mapping;
    QHash<const PLTextTable*, const PLTextTable*> reverse;
    for (int i = 0; i < a.length(); ++i) {
        PLTextAttributes x = a.attributesAt(i);
        PLTextAttributes y = b.attributesAt(i);
        if (x.attachment && y.attachment && x.attachment->contents() == y.attachment->contents()
            && x.attachment->displaySize() == y.attachment->displaySize())
            x.attachment = y.attachment;
        if (!sameTables(x, y, mapping, reverse)) {
            std::fprintf(stderr, "tables differ at %d\n", i);
            return false;
        }
        if (x.paragraphStyle) x.paragraphStyle->textBlocks.clear();
        if (y.paragraphStyle) y.paragraphStyle->textBlocks.clear();
        if (!(x == y)) {
            std::fprintf(stderr, "attributes differ at %d\n", i);
            return false;
        }
    }
    return true;
}

void checkRoundTrip(const PLAttributedString& text, const PLDocumentAttributes& attributes)
{
    QList<PLRTFWriter::File> files;
    const QByteArray rtf = PLRTFWriter::writeWithReferences(text, attributes, &files);
    PLError error;
    PLDocumentAttributes attributesBack;
    const auto lookup = [&](const QString& name) -> std::optional<QByteArray> {
        for (const PLRTFWriter::File& f : files)
            if (f.name == name) return f.contents;
        return std::nullopt;
    };
    const std::optional<PLAttributedString> back = PLRTFReader::read(rtf, &attributesBack, &error, lookup);
    if (!back || error || !sameIgnoringFileNames(*back, text) || !(attributesBack == attributes)) {
        std::fprintf(stderr, "written RTF does not read back: %s\n", error.failureReason().toUtf8().constData());
        std::abort();
    }
    error = PLError();
    if (!PLRTFReader::read(PLRTFWriter::write(text, attributes), nullptr, &error) || error) {
        std::fprintf(stderr, "RTF with embedded pictures does not read back: %s\n", error.failureReason().toUtf8().constData());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    PLDocumentAttributes attributes;
    PLError error;

    // As RTF, with the header put in front when the input lacks it so that mutations reach
    // the body.
    std::optional<PLAttributedString> text = PLRTFReader::read(bytes, &attributes, &error);
    if (!text) text = PLRTFReader::read(QByteArray("{\\rtf1 ") + bytes, &attributes, &error);
    if (text) checkRoundTrip(*text, attributes);

    // As a flattened RTFD folder.
    error = PLError();
    if (std::optional<PLAttributedString> rtfd = PLRTFDArchive::read(bytes, &attributes, &error)) checkRoundTrip(*rtfd, attributes);
    return 0;
}
