// Reads arbitrary bytes as the document's and a layout's style-sheet parts of a small map
// (nodes "A"-"D": branches of levels 0-2 and a picture), reads every kind of value through
// both sheets and saves: nothing may crash or hang, and a sheet that was read writes a part
// that reads back without a schema error.
#include "FuzzSupport.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Platform/Core/PLLog.h"
#include "Utilities/UTZipArchive.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

namespace {

class FuzzNode : public IXNode {
public:
    FuzzNode(bool branch, int depth) : m_branch(branch), m_depth(depth) {}
    bool isBranch() const override { return m_branch; }
    bool isPicture() const override { return !m_branch; }
    int level() const override { return m_depth; }

private:
    bool m_branch;
    int m_depth;
};

void readEverything(IXStyleNode& style)
{
    style.branchTextAttributes();
    style.floatingTextAttributes();
    style.branchFrameFillColorAtIndex(7);
    style.branchBaseline();
    style.pictureSize();
    style.connectionOffset1();
    style.documentPageColor();
    style.documentLayoutTimelineScale();
    style.rectValueForAttribute(QStringLiteral("branch.frame.line.roundness"), PLRect());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);  // deferred notices and fonts need it
    PLLog::setSink([](const QString&) {});             // dropped styles are logged
    FuzzSupport::useSourceResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    auto document = std::make_shared<IXDocumentNode>();
    PLXMLDocument ids("ids");
    QList<std::shared_ptr<IXNode>> nodes;
    const char* names[] = {"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i) {
        auto node = std::make_shared<FuzzNode>(i < 3, i);
        PLXMLElement element = ids.rootElement().addChildElement("node");
        element.setAttribute("uid", QString::fromLatin1(names[i]));
        node->initWithParent(nullptr, element, nullptr);
        document->addRootBranch(node);
        nodes << node;
    }
    document->packageParts().setData(bytes, QStringLiteral("document.styles.xml"));
    document->packageParts().setData(bytes, QStringLiteral("mindmap.styles.xml"));

    const auto layoutSheet = document->layoutForName(IXLayoutMindMapName)->styleSheet();
    const auto documentSheet = document->styleSheet();
    for (const auto& node : nodes) {
        readEverything(*documentSheet->styleForNode(node.get()));
        readEverything(*layoutSheet->styleForNode(node.get()));
    }
    readEverything(*document->layoutForName(IXLayoutMindMapName)->style());

    const std::optional<QByteArray> saved = document->zipData();
    if (!saved) __builtin_trap();
    if (!documentSheet->keepsUnreadPart()) {
        const std::optional<UTZipArchive> archive = UTZipArchive::fromData(*saved);
        if (!archive) __builtin_trap();
        // A sheet that holds only the shipped defaults is stored as no part (or an empty one).
        const std::optional<QByteArray> part = archive->dataByName(QStringLiteral("document.styles.xml"));
        PLError error;
        if (part && !part->isEmpty() && (IXDocumentNode::loadXML(*part, &error).isNull() || error)) __builtin_trap();
    }
    for (const auto& node : nodes) document->removeRootBranch(node);
    return 0;
}
