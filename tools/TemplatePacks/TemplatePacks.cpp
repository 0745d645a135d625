// Builds the template packs from their descriptions: every folder "<Name>.pack" of the
// sources holds a "pack.xml" (categories, in order, naming their templates) and one
// description per template, an XML tree of branches:
//
//   <template name="Meeting Notes" file="Meeting Notes" view="mindmap" description="...">
//     <branch title="Weekly Meeting" icons="calendar">
//       <a n="branch.frame.fill.bgcolor1" t="c" v="0.2,0.4,0.6"/>   (the branch's style)
//       <note>Text of a text note</note>
//       <comment>Text of the branch's comment</comment>
//       <branch title="..." begin="2027-03-01" end="2027-03-12" collapsed="1"/>
//     </branch>
//   </template>
//
// "view" is the layout the map opens in (mindmap, topdown, leftright, outline, timeline).
// The output folder gets "<Name>.pack" with "<file>.ixd" (the map, with the "preview" and
// "thumbnail" parts a save stores), "<file>.jpg" and "<file>@2x.jpg" (the map drawn as the
// views draw it, at most PreviewSide points a side) and "templates.plist". Saves are dated
// by a fixed clock. Exits with 1 and a message on the first description it cannot use.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleValue.h"
#include "DocumentWindow/IXMapPreview.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXStartupServices.h"
#include "Platform/Core/PLError.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/XML/PLXMLDocument.h"
#include "Platform/XML/PLXMLElement.h"
#include "Utilities/UTDateTime.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

// The longest side of a preview picture, in points; the "@2x" picture has twice the pixels.
constexpr float PreviewSide = 320;
constexpr double PreviewJPEGQuality = 0.86;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw Failure(qPrintable(path + QStringLiteral(": ") + file.errorString()));
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw Failure(qPrintable(path + QStringLiteral(": could not be written")));
}

PLXMLElement parsedRoot(const QString& path, PLXMLDocument& document, QByteArrayView rootName)
{
    PLError error;
    document = PLXMLDocument::fromData(readFile(path), &error);
    const PLXMLElement root = document ? document.rootElement() : PLXMLElement();
    if (!root || !root.hasName(rootName))
        throw Failure(qPrintable(path + QStringLiteral(": not a <") + QString::fromUtf8(rootName.toByteArray())
                                 + QStringLiteral("> description ") + error.localizedDescription()));
    return root;
}

std::optional<UTDateTime> dateAttribute(const PLXMLElement& element, QByteArrayView name)
{
    const QString text = element.attribute(name);
    if (text.isNull()) return std::nullopt;
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 3) throw Failure(qPrintable(QStringLiteral("date '%1' is not YYYY-MM-DD").arg(text)));
    return UTDateTime::fromYears(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
}

// The branch of the element, already in its place in the document (styles need that), and
// its sub-branches. Descriptions are a few dozen branches deep at most.
void fillBranch(IXBranchNode& branch, const PLXMLElement& element)
{
    branch.setTitle(element.attribute("title"));
    const QString icons = element.attribute("icons");
    if (!icons.isEmpty()) branch.setIcons(icons.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    if (const auto begin = dateAttribute(element, "begin")) branch.setBeginDate(begin);
    if (const auto end = dateAttribute(element, "end")) branch.setEndDate(end);
    for (const PLXMLElement& child : element.childElements()) {
        if (child.hasName("a")) {
            const QString name = child.attribute("n");
            branch.style()->setValue(IXStyleValue::fromText(child.attribute("t"), child.attribute("v")), name);
        } else if (child.hasName("note")) {
            branch.addTextnote()->setTextString(child.text().trimmed());
        } else if (child.hasName("comment")) {
            branch.addComment()->setTextString(child.text().trimmed());
        } else if (child.hasName("branch")) {
            auto sub = std::make_shared<IXBranchNode>();
            branch.insertBranch(sub, -1);
            fillBranch(*sub, child);
        } else {
            throw Failure(qPrintable(QStringLiteral("unknown element <%1>").arg(child.name())));
        }
    }
    if (element.attribute("collapsed") == QLatin1String("1")) branch.setCollapsed(true, false);
}

const QStringList& viewNames()
{
    // In the order of the window's view modes.
    static const QStringList names {IXLayoutMindMapName, IXLayoutTopDownName, IXLayoutLeftRightName,
                                    IXLayoutOutlineName, IXLayoutTimelineName};
    return names;
}

// The map as the views draw it, scaled to fit side x side points, at the pixel ratio.
QImage mapPicture(IXDocumentOnlyController& controller, const QString& layoutName, float side, float ratio)
{
    const auto node = controller.documentNode();
    IXLayoutContext context(&controller, node->layoutForName(layoutName).get());
    context.performLayout();
    const PLRect area = context.cellsBounds().insetBy(-16, -16).integral();
    const float fit = std::min({1.0f, side / area.width(), side / area.height()});
    const QSize pixels(int(std::ceil(area.width() * fit * ratio)), int(std::ceil(area.height() * fit * ratio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(fit * ratio, 0, 0, fit * ratio, 0, 0));
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -area.minX(), -area.minY()));
        context.drawRect(graphics, area);
    }
    context.invalidate();
    return image;
}

// Builds one template into the pack folder; its entry of "templates.plist".
QVariantMap buildTemplate(const QString& sourcePath, const QDir& pack)
{
    PLXMLDocument description;
    const PLXMLElement root = parsedRoot(sourcePath, description, "template");
    const QString fileName = root.attribute("file");
    const qsizetype view = viewNames().indexOf(root.attribute("view"));
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) || view < 0)
        throw Failure(qPrintable(sourcePath + QStringLiteral(": needs a file name and a view")));

    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    for (const PLXMLElement& element : root.childElements("branch")) {
        auto branch = std::make_shared<IXBranchNode>();
        document->addRootBranch(branch);
        fillBranch(*branch, element);
    }
    document->userInterfaceOptions().insert(QStringLiteral("view"), int(view));
    document->enableUndo();

    // The outline and the timeline have no map picture of their own: the mind map stands in.
    const QString pictureLayout = view <= 2 ? viewNames()[view] : IXLayoutMindMapName;
    IXDocumentOnlyController controller(document, view <= 2 ? int(view) : 0);
    const IXMapPreview preview(&controller, document->layoutForName(pictureLayout));
    document->packageParts().setData(preview.jpgPreview(), QStringLiteral("preview"));
    document->packageParts().setData(
        preview.pngPreview(PLSize(IXMapPreview::ThumbnailMaximumSide, IXMapPreview::ThumbnailMaximumSide)),
        QStringLiteral("thumbnail"));
    PLError error;
    const std::optional<QByteArray> package = document->zipData(&error);
    if (!package) throw Failure(qPrintable(sourcePath + QStringLiteral(": ") + error.localizedDescription()));
    writeFile(pack.filePath(fileName + QStringLiteral(".ixd")), *package);
    for (const float ratio : {1.0f, 2.0f}) {
        const QImage picture = mapPicture(controller, pictureLayout, PreviewSide, ratio);
        const QString name = fileName + (ratio > 1 ? QStringLiteral("@2x.jpg") : QStringLiteral(".jpg"));
        writeFile(pack.filePath(name), IXMapPreview::jpegData(picture, PreviewJPEGQuality, false));
    }

    QVariantMap entry {{QStringLiteral("FileName"), fileName + QStringLiteral(".ixd")},
                       {QStringLiteral("Name"), root.attribute("name")}};
    if (const QString text = root.attribute("description"); !text.isEmpty())
        entry.insert(QStringLiteral("Description"), text);
    return entry;
}

void buildPack(const QDir& source, const QDir& output)
{
    PLXMLDocument description;
    const PLXMLElement root = parsedRoot(source.filePath(QStringLiteral("pack.xml")), description, "pack");
    const QString packName = source.dirName();
    if (!output.mkpath(packName))
        throw Failure(qPrintable(output.filePath(packName) + QStringLiteral(": cannot be made")));
    QDir pack(output.filePath(packName));
    // What the sources no longer describe goes.
    for (const QString& old : pack.entryList(QDir::Files)) pack.remove(old);

    QVariantMap categories, templates;
    for (const PLXMLElement& category : root.childElements("category")) {
        QVariantList keys;
        for (const PLXMLElement& entry : category.childElements("template")) {
            const QString key = entry.attribute("key");
            if (!templates.contains(key))
                templates.insert(key, buildTemplate(source.filePath(entry.attribute("source")), pack));
            keys.append(key);
        }
        categories.insert(
            category.attribute("key"),
            QVariantMap {{QStringLiteral("Name"), category.attribute("name")}, {QStringLiteral("Templates"), keys}});
    }
    PLError error;
    const QByteArray list = PLPropertyList::write(
        QVariantMap {{QStringLiteral("Categories"), categories}, {QStringLiteral("Templates"), templates}}, &error);
    writeFile(pack.filePath(QStringLiteral("templates.plist")), list);
    std::printf("%s: %d templates\n", qPrintable(pack.path()), int(templates.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    IXStartupServices::install();
    if (argc != 3) {
        std::fprintf(stderr, "usage: TemplatePacks <sources folder> <resources folder>\n");
        return 1;
    }
    IXDocumentNode::setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(9, 0), QTimeZone::utc()); });
    const QDir sources(QString::fromLocal8Bit(argv[1]));
    const QDir output(QString::fromLocal8Bit(argv[2]));
    try {
        const QStringList packs = sources.entryList({QStringLiteral("*.pack")}, QDir::Dirs, QDir::Name);
        if (packs.isEmpty()) throw Failure(qPrintable(sources.path() + QStringLiteral(": no packs")));
        for (const QString& pack : packs) buildPack(QDir(sources.filePath(pack)), output);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "TemplatePacks: %s\n", failure.what());
        return 1;
    }
    return 0;
}
