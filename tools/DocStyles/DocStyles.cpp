// Builds the shipped map styles from their sheets: each folder of the sources holds the
// style-sheet parts of one style ("document.styles.xml" and any of the layouts' sheets). The
// output folder gets "Styles/<Name>.ixs" (a zip of those parts, dated by a fixed clock so a
// rebuild gives the same bytes), "Styles/<Name>.jpg" and "@2x.jpg" (a sample map restyled by
// the archive through the same code the window uses, drawn as the views draw it), and
// "docstyles.plist" listing them by name. Exits with 1 and a message on the first style it
// cannot build.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentWindow/IXDocumentStyles.h"
#include "DocumentWindow/IXMapPreview.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXStartupServices.h"
#include "Platform/Core/PLError.h"
#include "Platform/XML/PLPropertyList.h"
#include "Utilities/UTZipArchive.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTimeZone>

#include <cstdio>
#include <stdexcept>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void writeFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw Failure(qPrintable(path + QStringLiteral(": could not be written")));
}

QByteArray archiveOf(const QDir& source)
{
    UTZipArchive archive;
    archive.setEntryDate(QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    const QStringList parts = source.entryList({QStringLiteral("*.styles.xml")}, QDir::Files, QDir::Name);
    if (!parts.contains(QStringLiteral("document.styles.xml")))
        throw Failure(qPrintable(source.path() + QStringLiteral(": no document.styles.xml")));
    for (const QString& part : parts) {
        QFile file(source.filePath(part));
        PLError error;
        if (!file.open(QIODevice::ReadOnly) || !archive.setDataForFileName(file.readAll(), part, &error))
            throw Failure(qPrintable(source.filePath(part) + QStringLiteral(": cannot be stored")));
    }
    PLError error;
    const QByteArray bytes = archive.getZipData(&error);
    if (bytes.isEmpty()) throw Failure(qPrintable(source.path() + QStringLiteral(": ") + error.localizedDescription()));
    return bytes;
}

// A small map that shows every level, a comment and a connection in the style.
std::shared_ptr<IXDocumentNode> sampleMap()
{
    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    auto root = std::make_shared<IXBranchNode>();
    document->addRootBranch(root);
    root->setTitle(QStringLiteral("Product Launch"));
    const QList<QPair<QString, QStringList>> mains {
        {QStringLiteral("Research"), {QStringLiteral("Interviews"), QStringLiteral("Market size")}},
        {QStringLiteral("Design"), {QStringLiteral("Sketches"), QStringLiteral("Prototype")}},
        {QStringLiteral("Marketing"), {QStringLiteral("Website"), QStringLiteral("Press kit")}},
        {QStringLiteral("Release"), {QStringLiteral("Beta"), QStringLiteral("Launch day")}}};
    for (const auto& [title, subs] : mains) {
        auto main = std::make_shared<IXBranchNode>();
        root->insertBranch(main, -1);
        main->setTitle(title);
        for (const QString& subTitle : subs) {
            auto sub = std::make_shared<IXBranchNode>();
            main->insertBranch(sub, -1);
            sub->setTitle(subTitle);
        }
    }
    auto deep = std::make_shared<IXBranchNode>();
    root->branches().at(1)->insertBranch(deep, -1);
    deep->setTitle(QStringLiteral("Usability test"));
    root->branches().at(0)->addComment()->setTextString(QStringLiteral("Ask ten customers"));
    document->enableUndo();
    return document;
}

QVariantMap buildStyle(const QDir& source, const QDir& styles)
{
    const QString name = source.dirName();
    const QByteArray archive = archiveOf(source);
    const std::shared_ptr<IXDocumentNode> document = sampleMap();
    PLError error;
    if (!IXDocumentStyles::applyArchive(*document, archive, &error))
        throw Failure(qPrintable(name + QStringLiteral(": ") + error.localizedDescription()));
    writeFile(styles.filePath(name + QStringLiteral(".ixs")), archive);
    IXDocumentOnlyController controller(document, 0);
    const IXMapPreview preview(&controller, document->layoutForName(IXLayoutMindMapName));
    writeFile(styles.filePath(name + QStringLiteral(".jpg")), preview.jpgPreview(PLSize(160, 120)));
    writeFile(styles.filePath(name + QStringLiteral("@2x.jpg")), preview.jpgPreview(PLSize(320, 240)));
    return {{QStringLiteral("File"), name + QStringLiteral(".ixs")},
            {QStringLiteral("Name"), name},
            {QStringLiteral("Preview"), name + QStringLiteral(".jpg")}};
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    IXStartupServices::install();
    if (argc != 3) {
        std::fprintf(stderr, "usage: DocStyles <sources folder> <resources folder>\n");
        return 1;
    }
    const QDir sources(QString::fromLocal8Bit(argv[1]));
    const QDir output(QString::fromLocal8Bit(argv[2]));
    try {
        if (!output.mkpath(QStringLiteral("Styles"))) throw Failure("the Styles folder cannot be made");
        QDir styles(output.filePath(QStringLiteral("Styles")));
        for (const QString& old : styles.entryList(QDir::Files)) styles.remove(old);
        QVariantList list;
        for (const QString& folder : sources.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            list.append(buildStyle(QDir(sources.filePath(folder)), styles));
        if (list.isEmpty()) throw Failure(qPrintable(sources.path() + QStringLiteral(": no styles")));
        PLError error;
        writeFile(output.filePath(QStringLiteral("docstyles.plist")), PLPropertyList::write(list, &error));
        std::printf("%s: %d styles\n", qPrintable(styles.path()), int(list.size()));
    } catch (const Failure& failure) {
        std::fprintf(stderr, "DocStyles: %s\n", failure.what());
        return 1;
    }
    return 0;
}
