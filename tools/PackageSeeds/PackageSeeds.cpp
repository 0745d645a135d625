// Writes the seeds of the package fuzzer into the folder given: a package with a tree of
// branches, a picture and a comment, an empty one, one with every other part, the first and
// the third also stored without compression (as some zip tools write them, so that the
// fuzzer's mutations reach the XML and property lists directly), and one whose contents break
// the schema. The nodes are the document model's test nodes, which read and write the
// package's grammar. Exits with 1 and a message when a seed cannot be made or written.
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXPackageBytes.h"
#include "DocumentModel/IXPackageTestNodes.h"
#include "Platform/Core/PLError.h"
#include "Utilities/UTZipArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <cstdio>

namespace {

// The same parts stored without compression, local headers only: the archive reader does not
// need the central directory.
std::optional<QByteArray> storedPackageOf(const std::optional<QByteArray>& package)
{
    if (!package) return std::nullopt;
    QByteArray stored;
    const UTZipArchive archive = *UTZipArchive::fromData(*package);
    for (const UTZipArchiveItem& item : archive.items()) {
        const QByteArray name = item.encodedName();
        const QByteArray data = *archive.dataByPath(item.name());
        QByteArray header(30, '\0');
        qToLittleEndian<quint32>(0x04034b50, header.data());
        qToLittleEndian<quint16>(10, header.data() + 4);
        qToLittleEndian<quint32>(item.fileHeader()->DataDescriptor.CRC32, header.data() + 14);
        qToLittleEndian<quint32>(quint32(data.size()), header.data() + 18);
        qToLittleEndian<quint32>(quint32(data.size()), header.data() + 22);
        qToLittleEndian<quint16>(quint16(name.size()), header.data() + 26);
        stored += header + name + data;
    }
    return stored;
}

std::shared_ptr<IXDocumentNode> sampleDocument()
{
    PLError error;
    std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(samplePackage(), &error);
    if (!document)
        std::fprintf(stderr, "PackageSeeds: the sample did not open: %s\n", qPrintable(error.failureReason()));
    return document;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: PackageSeeds <folder>\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    FakeApplicationServices services;
    PackageTestNodes nodes;
    bool written = QDir().mkpath(folder);
    const auto write = [&](const QString& name, const std::optional<QByteArray>& package) {
        QSaveFile file(folder + QLatin1Char('/') + name);
        const bool ok = package && !package->isEmpty() && file.open(QIODevice::WriteOnly)
            && file.write(*package) == package->size() && file.commit();
        if (!ok) std::fprintf(stderr, "PackageSeeds: %s could not be written\n", qPrintable(file.fileName()));
        written = written && ok;
    };

    auto sample = sampleDocument();
    if (!sample) return 1;
    sample->userInterfaceOptions().insert(QStringLiteral("view"), 1);
    sample->packageParts().setData(QByteArray("\x89PNG\r\n\x1a\n thumbnail"), QStringLiteral("thumbnail"));
    write(QStringLiteral("tree.ixd"), sample->zipData());
    write(QStringLiteral("tree-stored.ixd"), storedPackageOf(sample->zipData()));

    auto empty = std::make_shared<IXDocumentNode>();
    write(QStringLiteral("empty.ixd"), empty->zipData());

    auto parts = std::make_shared<IXDocumentNode>();
    parts->setTimeScaleType(3);
    parts->setIgnoredWords({QStringLiteral("Ideaflux")});
    parts->saveIgnoredWords();
    parts->additionalFolders().addFilePath(QStringLiteral("/home/a/Pictures/sun.png"), QStringLiteral("R1"));
    parts->packageParts().setData(R"(<?xml version="1.0"?><styles xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")"
                   R"( xsi:noNamespaceSchemaLocation="styles.xsd"/>)",
                   QStringLiteral("document.styles.xml"));
    write(QStringLiteral("parts.ixd"), parts->zipData());
    write(QStringLiteral("parts-stored.ixd"), storedPackageOf(parts->zipData()));

    write(QStringLiteral("invalid.ixd"),
          packageOf({{QStringLiteral("contents.xml"),
                      contentsXml(R"(<timescale type="lunar"/><branch uid="A"><title>T</title><x/></branch>)")}}));
    return written ? 0 : 1;
}
