// Style sheets in a document: default masters, reading rules, unreadable parts, deferred
// "master" notices, layout nodes, saving and reopening, and the shipped default sheets.
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXWarning.h"
#include "IXFakeServices.h"
#include "IXPackageTestNodes.h"
#include "IXStyleTestNodes.h"
#include "Platform/Core/PLLog.h"
#include "Platform/System/PLResources.h"
#include "Platform/XML/PLXMLSchemaValidator.h"
#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/QStringPrinter.h"
#include "Utilities/UTZipArchive.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFontInfo>
#include <QProcess>
#include <QStandardPaths>

#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Kind = StyledTestNode::Kind;

const QString DocumentPart = QStringLiteral("document.styles.xml");
const QString MindMapPart = QStringLiteral("mindmap.styles.xml");
const QStringList ShippedSheets{"document", "mindmap", "leftright", "topdown", "outline", "timeline"};

QByteArray sheetXml(const QByteArray& body, const QByteArray& rootAttributes = QByteArray())
{
    return "<?xml version=\"1.0\"?>\n<styles xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:noNamespaceSchemaLocation=\"styles.xsd\" version=\"1\" revision=\"1\""
           + rootAttributes + ">" + body + "</styles>";
}

QByteArray resource(const QString& name)
{
    QFile file(PLResources::pathFor(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Gives the deferred work of the run loop its turns.
void runLoopTurns()
{
    const QDeadlineTimer deadline(50);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

std::optional<QByteArray> partOf(const QByteArray& package, const QString& name)
{
    const std::optional<UTZipArchive> archive = UTZipArchive::fromData(package);
    if (!archive) return std::nullopt;
    return archive->dataByName(name);
}

struct LogLines {
    QStringList lines;
    PLLog::Sink previous = PLLog::setSink([this](const QString& line) { lines << line; });
    ~LogLines() { PLLog::setSink(previous); }
};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

class IXStyleSheet : public ::testing::Test {
protected:
    FakeApplicationServices services;
    PackageTestNodes nodes;
};

// --- Default masters ---

TEST_F(IXStyleSheet, NewDocumentTakesTheDefaultMastersOfEverySheet)
{
    PLUndoManager undo;
    auto document = std::make_shared<IXDocumentNode>();
    document->setUndoManager(&undo);
    for (const QString& name : ShippedSheets) {
        SCOPED_TRACE(name.toStdString());
        const auto defaults = IXStyleSheetNode::styleSheetFromData(resource(name + QStringLiteral(".styles.xml")));
        ASSERT_TRUE(defaults);
        const auto sheet = name == QLatin1String("document") ? document->styleSheet()
                                                             : document->layoutForName(name)->styleSheet();
        for (int type = IXStyleTypeCanvas; type < IXStyleType_Last; ++type) {
            EXPECT_EQ(sheet->styleForMaster(type)->attributes(), defaults->styleForMaster(type)->attributes());
        }
        EXPECT_FALSE(sheet->keepsUnreadPart());
    }
    // Loading records nothing to undo and warns of nothing.
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(document->warnings().isEmpty());

    // The look of a root branch: the document's frame and colours, the layout's lines.
    auto root = std::make_shared<StyledTestNode>(Kind::Branch, 0);
    document->disableUndo();
    document->addRootBranch(root);
    document->enableUndo();
    const auto inMindMap = document->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(root.get());
    const auto inTopDown = document->layoutForName(IXLayoutTopDownName)->styleSheet()->styleForNode(root.get());
    EXPECT_EQ(inMindMap->branchFrameType(), 3);
    EXPECT_EQ(inMindMap->branchTextColor(), PLColor::white());
    EXPECT_EQ(inMindMap->branchLineType(), 4);
    EXPECT_EQ(inTopDown->branchLineType(), 0);
    ASSERT_TRUE(inMindMap->branchTextFont());
    EXPECT_EQ(QFontInfo(*inMindMap->branchTextFont()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(inMindMap->branchTextFont()->bold());
    EXPECT_TRUE(inMindMap->branchTextAttributes().backgroundColor.isNull());
}

TEST_F(IXStyleSheet, PartWithOnlyNodeStylesStillGetsTheDefaultMasters)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto node = std::make_shared<StyledTestNode>(Kind::Picture);
    document->addPicture(node);
    const QByteArray part = sheetXml("<style ref=\"" + node->uniqueId().toLatin1() + "\"><a n=\"picture.opacity\" v=\"0.5\"/></style>");
    document->packageParts().setData(part, DocumentPart);

    const auto sheet = document->styleSheet();
    EXPECT_EQ(sheet->styleForNode(node.get())->pictureOpacity(), 0.5f);
    EXPECT_EQ(sheet->styleForNode(node.get())->master(), IXStyleTypePicture);
    const auto defaults = IXStyleSheetNode::styleSheetFromData(resource(DocumentPart));
    EXPECT_EQ(sheet->styleForMaster(IXStyleTypeCanvas)->attributes(), defaults->styleForMaster(IXStyleTypeCanvas)->attributes());
    EXPECT_TRUE(document->warnings().isEmpty()) << "the part follows its schema";
}

// --- Reading ---

TEST_F(IXStyleSheet, ReadingKeepsTheLastOfRepeatsAndDropsWhatNamesNothing)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto branch = std::make_shared<StyledTestNode>(Kind::Branch, 2);
    document->addRootBranch(branch);
    const QByteArray id = branch->uniqueId().toLatin1();
    const QByteArray layoutId = document->layoutForName(IXLayoutTimelineName)->uniqueId().toLatin1();
    const QByteArray part = sheetXml(
        "<rootbranch><a n=\"branch.frame.type\" v=\"1\"/><a n=\"branch.line.width\" v=\"7\"/></rootbranch>"
        "<rootbranch><a n=\"branch.frame.type\" v=\"2\"/></rootbranch>"
        "<floating><a n=\"floating.line.width\" v=\"3\"/></floating>"
        "<style ref=\"NOSUCHNODE\"><a n=\"branch.line.width\" v=\"2\"/></style>"
        "<style><a n=\"branch.line.width\" v=\"2\"/></style>"
        "<style ref=\"" + layoutId + "\"><a n=\"branch.line.width\" v=\"2\"/></style>"
        "<style ref=\"SHEET1\"><a n=\"branch.line.width\" v=\"2\"/></style>"
        "<style ref=\"" + id + "\"><a n=\"branch.line.width\" v=\"4\"/></style>"
        "<style ref=\"" + id + "\"><a n=\"branch.text.width\" v=\"90\"/></style>",
        " uid=\"SHEET1\"");
    document->packageParts().setData(part, DocumentPart);
    LogLines log;

    const auto sheet = document->styleSheet();
    // The second rootbranch replaced the first; the master still has its fixed links.
    const auto root = sheet->styleForMaster(IXStyleTypeRootBranch);
    EXPECT_EQ(root->attributes().keys(), QStringList{"branch.frame.type"});
    EXPECT_EQ(root->type(), IXStyleTypeRootBranch);
    EXPECT_EQ(root->master(), IXStyleTypeCanvas);
    EXPECT_EQ(root->parentNode(), sheet.get());
    // Only the node of the map keeps a style, the one read last.
    ASSERT_EQ(sheet->nodeStyles().size(), 1);
    const auto style = sheet->styleForNode(branch.get());
    EXPECT_EQ(style->attributes().keys(), QStringList{"branch.text.width"});
    EXPECT_EQ(style->master(), IXStyleTypeSubBranch);
    EXPECT_EQ(style->branchFrameType(), 2);
    // Two log lines: the unknown name and the repeated node; dropped refs say nothing.
    ASSERT_EQ(log.lines.size(), 2);
    EXPECT_TRUE(log.lines[0].startsWith(QStringLiteral("ignored style named 'floating': ")));
    EXPECT_TRUE(log.lines[1].startsWith(QStringLiteral("duplicate style replaced for node ") + QString::fromLatin1(id)));
    // What the reader reads over is no schema error: no warning.
    EXPECT_TRUE(document->warnings().isEmpty());
    EXPECT_FALSE(sheet->keepsUnreadPart());
}

TEST_F(IXStyleSheet, IdsInASheetPartNeverShadowTheNodesOfTheMap)
{
    // A damaged part gives the sheet and a style the id of a branch: look-ups by id keep
    // finding the branch, also after it left the document and came back (cut and undo).
    auto document = std::make_shared<IXDocumentNode>();
    auto branch = std::make_shared<StyledTestNode>(Kind::Branch, 0);
    document->addRootBranch(branch);
    const QByteArray id = branch->uniqueId().toLatin1();
    document->packageParts().setData(sheetXml("<style uid=\"" + id + "\" ref=\"" + id + "\"><a n=\"branch.line.width\" v=\"4\"/></style>",
                               " uid=\"" + id + "\""),
                      DocumentPart);
    const auto sheet = document->styleSheet();
    ASSERT_EQ(sheet->nodeStyles().size(), 1);
    ASSERT_EQ(sheet->existingUniqueId(), QString::fromLatin1(id));

    document->removeRootBranch(branch);
    EXPECT_EQ(document->nodeForId(QString::fromLatin1(id)), nullptr);
    document->addRootBranch(branch);
    EXPECT_EQ(document->nodeForId(QString::fromLatin1(id)), branch);
    EXPECT_EQ(sheet->styleForNode(branch.get())->branchLineWidth(), 4);
}

TEST_F(IXStyleSheet, UnparsablePartIsKeptUntilAStyleOfTheSheetChanges)
{
    const QByteArray broken = "<styles><canvas><a n=\"document.gap.vertical\" v=\"9\"/>";
    auto document = std::make_shared<IXDocumentNode>();
    document->packageParts().setData(broken, DocumentPart);
    document->packageParts().setData(broken, MindMapPart);

    const auto sheet = document->styleSheet();
    const auto layoutSheet = document->layoutForName(IXLayoutMindMapName)->styleSheet();
    // Shown with the default masters meanwhile, and both parts reported.
    EXPECT_TRUE(sheet->keepsUnreadPart());
    EXPECT_TRUE(layoutSheet->keepsUnreadPart());
    EXPECT_FALSE(sheet->styleForMaster(IXStyleTypeCanvas)->attributes().isEmpty());
    ASSERT_EQ(document->warnings().size(), 2);
    EXPECT_EQ(document->warnings()[0]->title(), QStringLiteral("Styles"));
    EXPECT_TRUE(document->warnings()[0]->message().contains(DocumentPart));
    EXPECT_TRUE(document->warnings()[1]->message().contains(MindMapPart));

    std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    EXPECT_EQ(partOf(*package, DocumentPart), broken);
    EXPECT_EQ(partOf(*package, MindMapPart), broken);

    // A change in the document sheet: that sheet is written, the layout's part still kept.
    sheet->styleForMaster(IXStyleTypeCanvas)->setDocumentGapVertical(30);
    package = document->zipData();
    ASSERT_TRUE(package);
    EXPECT_EQ(partOf(*package, MindMapPart), broken);
    PLError error;
    const auto reread = IXStyleSheetNode::styleSheetFromData(*partOf(*package, DocumentPart), &error);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->styleForMaster(IXStyleTypeCanvas)->documentGapVertical(), 30);
    EXPECT_FALSE(error) << "the written part follows its schema";
}

TEST_F(IXStyleSheet, PartThatIsNoStyleSheetGivesAnEmptySheetAndIsKept)
{
    const QByteArray foreign = R"(<?xml version="1.0"?><document><canvas><a n="x" v="1"/></canvas></document>)";
    auto document = std::make_shared<IXDocumentNode>();
    document->packageParts().setData(foreign, DocumentPart);

    const auto sheet = document->styleSheet();
    EXPECT_TRUE(sheet->keepsUnreadPart());
    EXPECT_EQ(sheet->parentNode(), document.get());
    // The owner's empty sheet takes no default masters.
    EXPECT_TRUE(sheet->styleForMaster(IXStyleTypeCanvas)->attributes().isEmpty());
    EXPECT_EQ(document->warnings().size(), 1);
    const std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    EXPECT_EQ(partOf(*package, DocumentPart), foreign);
    // Nothing usable either for a template, and the reader says why.
    PLError error;
    EXPECT_FALSE(IXStyleSheetNode::styleSheetFromData(foreign, &error));
    EXPECT_TRUE(error);
    EXPECT_FALSE(IXStyleSheetNode::styleSheetFromData(QByteArray()));
}

TEST_F(IXStyleSheet, SchemaViolationInALazilyReadSheetIsAWarningNotADialog)
{
    // A part naming no schema, read on first use of the sheet (while the user works).
    auto document = std::make_shared<IXDocumentNode>();
    document->packageParts().setData(R"(<?xml version="1.0"?><styles><canvas><a n="document.layout" v="2"/></canvas></styles>)", DocumentPart);
    const auto sheet = document->styleSheet();
    EXPECT_EQ(sheet->styleForMaster(IXStyleTypeCanvas)->documentLayout(), 2) << "read all the same";
    EXPECT_FALSE(sheet->keepsUnreadPart());
    ASSERT_EQ(document->warnings().size(), 1);
    EXPECT_EQ(document->warnings().first()->title(), QStringLiteral("Styles"));
    EXPECT_TRUE(document->warnings().first()->message().contains(DocumentPart));
}

// Sheets are read lazily, long after opening: a part refused then (damaged, or stated to
// inflate beyond the archive's limit) is kept as stored, with a warning, like one refused at once.
TEST_F(IXStyleSheet, PartThatCannotBeInflatedIsKept)
{
    UTZipArchive archive;
    archive.setDataForFileName("<document xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                               "xsi:noNamespaceSchemaLocation=\"contents.xsd\" version=\"1\" revision=\"1\"/>",
                               QStringLiteral("contents.xml"));
    archive.setDataForFileName(resource(DocumentPart), DocumentPart);
    const QByteArray intact = archive.getZipData();
    // The deflated bytes follow the entry's local header: 30 bytes and the name.
    const qsizetype data = intact.indexOf(DocumentPart.toLatin1()) + DocumentPart.size();
    const qsizetype header = data - 30 - DocumentPart.size();
    QByteArray beyondLimit(4, Qt::Uninitialized);
    qToLittleEndian(quint32(UTZipArchive::MaximumUncompressedSize + 1), beyondLimit.data());
    const struct {
        const char* name;
        qsizetype at;
        QByteArray bytes;
    } cases[] = {
        {"damaged", data, QByteArray(8, char(0xFF))},
        {"stated size beyond the limit", header + 22, beyondLimit},
    };
    const auto storedBytes = [](const QByteArray& package) {
        const std::optional<UTZipArchive> archive = UTZipArchive::fromData(package);
        for (const UTZipArchiveItem& item : archive ? archive->items() : std::vector<UTZipArchiveItem>())
            if (item.name() == DocumentPart) return item.data();
        return QByteArray();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray package = QByteArray(intact).replace(c.at, c.bytes.size(), c.bytes);
        PLError error;
        const auto document = IXDocumentNode::fromZipData(package, &error);
        ASSERT_TRUE(document) << error.failureReason().toStdString();

        EXPECT_TRUE(document->styleSheet()->keepsUnreadPart());
        EXPECT_EQ(document->warnings().size(), 1);
        const std::optional<QByteArray> saved = document->zipData();
        ASSERT_TRUE(saved);
        PLError partError;
        EXPECT_FALSE(UTZipArchive::fromData(*saved)->dataByName(DocumentPart, &partError));
        EXPECT_TRUE(partError);
        EXPECT_EQ(storedBytes(*saved), storedBytes(package));
    }
}

// A sheet of more elements than any map's sheet is refused as soon as the parse passes them:
// the part is kept as stored and the warning says why. One just within the limit is read.
TEST_F(IXStyleSheet, SheetOfMoreElementsThanAnyMapHasIsRefusedAndKept)
{
    const QByteArray element = R"(<style ref="x"/>)";
    for (const qint64 count : {IXStyleSheetNode::MaximumElementCount - 1, IXStyleSheetNode::MaximumElementCount}) {
        SCOPED_TRACE(count);
        // The root counts as one element.
        const QByteArray sheet = sheetXml(element.repeated(count));
        auto document = std::make_shared<IXDocumentNode>();
        document->packageParts().setData(sheet, DocumentPart);
        const bool refused = count == IXStyleSheetNode::MaximumElementCount;

        EXPECT_EQ(document->styleSheet()->keepsUnreadPart(), refused);
        if (!refused) continue;
        ASSERT_EQ(document->warnings().size(), 1);
        const QString message = document->warnings().first()->message();
        EXPECT_TRUE(message.contains(DocumentPart)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("far more elements than any map has"))) << message.toStdString();
        const std::optional<QByteArray> package = document->zipData();
        ASSERT_TRUE(package);
        EXPECT_EQ(partOf(*package, DocumentPart), sheet);
    }
}

// --- Notices ---

TEST_F(IXStyleSheet, MasterChangeReachesEveryNodeStyleOnceOnTheNextTurn)
{
    StyledDocument doc;
    const auto first = doc.add(Kind::Branch, 1);
    const auto second = doc.add(Kind::Comment);
    doc.layoutSheet()->styleForNode(first.get());
    doc.layoutSheet()->styleForNode(second.get());
    doc.documentSheet()->styleForNode(first.get());
    runLoopTurns();
    StyleNoticeRecorder recorder;
    doc.document->addToObservers(&recorder);

    const auto master = doc.layoutSheet()->styleForMaster(IXStyleTypeMainBranch);
    master->setBranchLineWidth(3);
    master->setBranchLineColor(PLColor::red());
    master->setBranchTextAlignment(2);
    EXPECT_EQ(recorder.take(), (QStringList{"mainbranch branch.line.width", "mainbranch branch.line.color",
                                            "mainbranch branch.text.alignment"}));
    runLoopTurns();
    // Only the layout sheet's node styles hear of their sheet's master.
    EXPECT_EQ(sorted(recorder.take()), sorted({first->uniqueId() + " master", second->uniqueId() + " master"}));
    runLoopTurns();
    EXPECT_TRUE(recorder.take().isEmpty());
    doc.document->removeFromObservers(&recorder);
}

// Nodes read through a shared style hear of a master change through one notice of that
// style, which names no node; node styles hear theirs as before.
TEST_F(IXStyleSheet, MasterChangeReachesTheSharedReadingStylesOnce)
{
    StyledDocument doc;
    const auto styled = doc.add(Kind::Branch, 1);
    for (int i = 0; i < 3; ++i) doc.layoutSheet()->styleForReading(doc.add(Kind::Branch, 2).get());
    doc.layoutSheet()->styleForReading(doc.add(Kind::Picture).get());
    doc.layoutSheet()->styleForNode(styled.get());
    runLoopTurns();
    StyleNoticeRecorder recorder;
    doc.document->addToObservers(&recorder);

    doc.layoutSheet()->styleForMaster(IXStyleTypeCanvas)->setBranchLineWidth(4);
    EXPECT_EQ(recorder.take(), QStringList{"canvas branch.line.width"});
    runLoopTurns();
    EXPECT_EQ(sorted(recorder.take()), sorted({" master", styled->uniqueId() + " master"}));
    doc.document->removeFromObservers(&recorder);
}

TEST_F(IXStyleSheet, SheetsLoadedWithTheDefaultMastersAnnounceNothingLater)
{
    // Nothing was shown with the masters the defaults replaced, so a view that lays out the
    // styles right away must not hear "master" on the next turn (it would lay out again).
    auto document = std::make_shared<IXDocumentNode>();
    auto node = std::make_shared<StyledTestNode>(Kind::Branch, 0);
    document->disableUndo();
    document->addRootBranch(node);
    document->enableUndo();
    StyleNoticeRecorder recorder;
    document->addToObservers(&recorder);
    for (const QString& name : ShippedSheets) {
        const auto sheet = name == QLatin1String("document") ? document->styleSheet()
                                                             : document->layoutForName(name)->styleSheet();
        ASSERT_FALSE(sheet->styleForMaster(IXStyleTypeCanvas)->attributes().isEmpty());
        sheet->styleForNode(node.get());
        sheet->styleForNode(document.get());
    }
    runLoopTurns();
    EXPECT_TRUE(recorder.take().isEmpty());
    document->removeFromObservers(&recorder);
}

TEST_F(IXStyleSheet, ChangeInTheDocumentSheetIsReannouncedByTheLayoutStyle)
{
    StyledDocument doc;
    const auto node = doc.add(Kind::Connection);
    const auto inDocument = doc.documentSheet()->styleForNode(node.get());
    const auto inLayout = doc.layoutSheet()->styleForNode(node.get());
    StyleNoticeRecorder recorder;
    doc.document->addToObservers(&recorder);

    inDocument->setConnectionColor(PLColor::red());
    const QString notice = node->uniqueId() + " connection.line.color";
    EXPECT_EQ(recorder.take(), (QStringList{notice, notice}));
    // The layout shows the document sheet's value until it has its own.
    EXPECT_EQ(inLayout->connectionColor(), PLColor::red());
    inLayout->setConnectionColor(PLColor::white());
    EXPECT_EQ(inLayout->connectionColor(), PLColor::white());
    EXPECT_EQ(inDocument->connectionColor(), PLColor::red());
    doc.document->removeFromObservers(&recorder);
}

// --- Applying, clearing and carrying styles ---

TEST_F(IXStyleSheet, ApplyingATemplateIsOneUndoStep)
{
    StyledDocument doc;
    const auto node = doc.add(Kind::Branch, 0);
    doc.documentSheet()->styleForMaster(IXStyleTypeCanvas)->setDocumentGapVertical(11);
    doc.undo.removeAllActions();
    runLoopTurns();
    const auto other = IXStyleSheetNode::styleSheetFromData(
        sheetXml("<canvas><a n=\"document.gap.vertical\" v=\"33\"/></canvas>"));
    ASSERT_TRUE(other);

    const auto style = doc.documentSheet()->styleForNode(node.get());
    doc.documentSheet()->applyMasterStyle(*other);
    EXPECT_EQ(style->documentGapVertical(), 33);
    EXPECT_EQ(doc.undo.undoActionName(), QStringLiteral("Apply Style"));
    doc.undo.undo();
    EXPECT_EQ(style->documentGapVertical(), 11);
    for (const auto& master : doc.documentSheet()->masters()) EXPECT_EQ(master->parentNode(), doc.documentSheet().get());
    // The copies belong to this sheet; the template keeps its own masters.
    EXPECT_EQ(other->styleForMaster(IXStyleTypeCanvas)->parentNode(), other.get());
}

TEST_F(IXStyleSheet, StylesTravelWithANodeAndAreCleared)
{
    StyledDocument doc;
    const auto node = doc.add(Kind::Branch, 1);
    const auto copy = doc.add(Kind::Branch, 1);
    doc.documentSheet()->styleForNode(node.get())->setBranchLineWidth(6);
    doc.layoutSheet()->styleForNode(node.get())->setBranchCollapsed(true);
    doc.document->layoutForName(IXLayoutOutlineName);  // a layout where the node has nothing

    const IXDocumentNode::StyleAttributesBySheet attributes = doc.document->styleAttributesForNode(node.get());
    EXPECT_EQ(attributes.keys(), (QStringList{".document", "mindmap"}));
    doc.document->setStyleAttributesForNode(attributes, copy.get());
    EXPECT_EQ(doc.documentSheet()->styleForNode(copy.get())->branchLineWidth(), 6);
    EXPECT_TRUE(doc.layoutSheet()->styleForNode(copy.get())->branchCollapsed());

    doc.document->clearStyleAttributesForNode(node.get());
    EXPECT_TRUE(doc.document->styleAttributesForNode(node.get()).isEmpty());
    EXPECT_EQ(doc.document->styleAttributesForNode(copy.get()).size(), 2);
    // A node without an id has no styles anywhere.
    EXPECT_TRUE(doc.document->styleAttributesForNode(doc.add(Kind::Branch, 1).get()).isEmpty());
}

TEST_F(IXStyleSheet, MissingArgumentsAreProgrammingErrors)
{
    StyledDocument doc;
    const auto sheet = doc.documentSheet();
    expectAssertion("node", [&] { sheet->styleForNode(nullptr); });
    expectAssertion("![node isLayout]", [&] { sheet->styleForNode(doc.document->layoutForName(IXLayoutMindMapName).get()); });
    expectAssertion("type >= 0 && type < IXStyleType_Last", [&] { sheet->styleForMaster(IXStyleType_Last); });
    expectAssertion("style", [&] { sheet->attribute(QStringLiteral("x"), nullptr); });
}

TEST_F(IXStyleSheet, UndoStepsOutliveTheDocument)
{
    PLUndoManager undo;
    std::shared_ptr<IXStyleNode> style;
    {
        auto document = std::make_shared<IXDocumentNode>();
        document->setUndoManager(&undo);
        style = document->styleSheet()->styleForMaster(IXStyleTypeCanvas);
        style->setDocumentGapVertical(77);
    }
    EXPECT_FALSE(style->parentNode());
    EXPECT_FALSE(style->documentNode());
    undo.undo();
    EXPECT_EQ(style->documentGapVertical(), 16);  // the default sheet's value, the own one again
}

// --- Layout nodes ---

TEST_F(IXStyleSheet, LayoutNodesAreMadeOnceAndAreNoPartOfTheTree)
{
    auto document = std::make_shared<IXDocumentNode>();
    const auto timeline = document->layoutForName(IXLayoutTimelineName);
    EXPECT_EQ(document->layoutForName(IXLayoutTimelineName), timeline);
    EXPECT_TRUE(timeline->isLayout());
    EXPECT_EQ(timeline->parentNode(), document.get());
    EXPECT_EQ(timeline->layoutName(), QStringLiteral("timeline"));
    EXPECT_FALSE(timeline->hasStyleSheet());
    PLXMLDocument xml("document");
    EXPECT_FALSE(timeline->XMLElement(xml.rootElement()));
    EXPECT_FALSE(timeline->initWithParent(nullptr, xml.rootElement(), nullptr));

    // The layout's style is the document node's style in its sheet.
    const auto style = timeline->style();
    ASSERT_TRUE(style);
    EXPECT_EQ(style->refId(), document->uniqueId());
    EXPECT_EQ(style->styleSheet(), timeline->styleSheet().get());
    EXPECT_EQ(style->styleSheet()->masterStyleSheet(), document->styleSheet().get());
    EXPECT_EQ(document->style(), document->styleSheet()->styleForNode(document.get()));

    // Copies keep their class: a layout of the same name, an empty sheet; both detached.
    const auto layoutCopy = std::dynamic_pointer_cast<IXLayoutNode>(timeline->copy());
    ASSERT_TRUE(layoutCopy);
    EXPECT_EQ(layoutCopy->layoutName(), QStringLiteral("timeline"));
    EXPECT_NE(layoutCopy->uniqueId(), timeline->uniqueId());
    EXPECT_EQ(layoutCopy->documentNode(), nullptr);
    const auto sheetCopy = std::dynamic_pointer_cast<IXStyleSheetNode>(timeline->styleSheet()->copy());
    ASSERT_TRUE(sheetCopy);
    EXPECT_TRUE(sheetCopy->nodeStyles().isEmpty());
    EXPECT_EQ(sheetCopy->parentNode(), nullptr);

    IXLayoutNode detached(IXLayoutMindMapName);
    EXPECT_FALSE(detached.style());
    EXPECT_TRUE(detached.styleSheet()->styleForMaster(IXStyleTypeCanvas)->attributes().isEmpty());
}

// A save writes what the map holds: a sheet that still holds only the shipped defaults (looked
// at, or changed and undone) is no part, as a package without it reads as those defaults; a
// style of a node that left the map is not written; parts of sheets never asked for stay.
TEST_F(IXStyleSheet, SaveWritesTheSheetsThatHoldMoreThanTheDefaultsAndLeavesOtherPartsAlone)
{
    const QByteArray topDown = sheetXml("<canvas><a n=\"document.gap.vertical\" v=\"5\"/></canvas>");
    PLUndoManager undo;
    auto document = std::make_shared<IXDocumentNode>();
    document->setUndoManager(&undo);
    document->packageParts().setData(topDown, QStringLiteral("topdown.styles.xml"));
    document->layoutForName(IXLayoutTimelineName);  // made, its sheet never asked for
    document->layoutForName(IXLayoutMindMapName)->styleSheet();
    auto root = std::make_shared<XMLTestBranch>(QStringLiteral("Root"));
    auto gone = std::make_shared<XMLTestBranch>(QStringLiteral("Gone"));
    document->disableUndo();
    document->addRootBranch(root);
    root->addChild(gone);
    document->enableUndo();
    document->style()->setDocumentGapHorizontal(77);
    undo.undo();
    document->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(gone.get())->setBranchCollapsed(true);
    document->disableUndo();
    root->removeChild(gone);
    document->enableUndo();

    const std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    EXPECT_EQ(partOf(*package, QStringLiteral("topdown.styles.xml")), topDown);
    for (const QString& part : {QStringLiteral("timeline.styles.xml"), MindMapPart, DocumentPart})
        EXPECT_FALSE(partOf(*package, part)) << part.toStdString();

    document->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(root.get())->setBranchCollapsed(true);
    const std::optional<QByteArray> changed = document->zipData();
    ASSERT_TRUE(changed);
    const std::optional<QByteArray> mindMap = partOf(*changed, MindMapPart);
    ASSERT_TRUE(mindMap);
    EXPECT_TRUE(mindMap->contains(root->uniqueId().toUtf8()));
    EXPECT_FALSE(mindMap->contains(gone->uniqueId().toUtf8()));
    PLError error;
    EXPECT_FALSE(IXDocumentNode::loadXML(*mindMap, &error).isNull());
    EXPECT_FALSE(error) << error.failureReason().toStdString();
    undo.undo();
    EXPECT_EQ(partOf(*document->zipData(), MindMapPart), QByteArray())
        << "undone, the sheet holds the defaults again: the part written before is emptied (no part)";
}

TEST_F(IXStyleSheet, StylesOfNodesSurviveSavingAndReopening)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto root = std::make_shared<XMLTestBranch>(QStringLiteral("Root"));
    auto child = std::make_shared<XMLTestBranch>(QStringLiteral("Child"));
    document->addRootBranch(root);
    root->addChild(child);
    document->styleSheet()->styleForNode(root.get())->setBranchLineColor(PLColor::rgb(0.1f, 0.2f, 0.3f, 0.4f));
    document->styleSheet()->styleForNode(child.get())->setBranchParentOffset(PLPoint(12.5f, -3));
    document->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(child.get())->setBranchCollapsed(true);
    document->style()->setDocumentGapHorizontal(50);
    document->layoutForName(IXLayoutOutlineName)->style()->setOutlineBranchNumbering(12);
    document->styleSheet()->styleForMaster(IXStyleTypeComment)->setCommentTextWidth(321);

    const std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    PLError error;
    const auto reread = IXDocumentNode::fromZipData(*package, &error);
    ASSERT_TRUE(reread) << error.failureReason().toStdString();
    const auto rootAgain = reread->rootBranches().first();
    const auto childAgain = std::static_pointer_cast<XMLTestBranch>(rootAgain)->children().first();
    EXPECT_EQ(reread->styleSheet()->styleForNode(rootAgain.get())->branchLineColor(), PLColor::rgb(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(reread->styleSheet()->styleForNode(childAgain.get())->branchParentOffset(), PLPoint(12.5f, -3));
    EXPECT_TRUE(reread->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(childAgain.get())->branchCollapsed());
    EXPECT_EQ(reread->style()->documentGapHorizontal(), 50);
    EXPECT_EQ(reread->layoutForName(IXLayoutOutlineName)->style()->outlineBranchNumbering(), 12);
    EXPECT_EQ(reread->styleSheet()->styleForMaster(IXStyleTypeComment)->commentTextWidth(), 321);
    EXPECT_TRUE(reread->warnings().isEmpty());
}

// --- The shipped default sheets ---

TEST(IXDefaultStyleSheets, ValidateAndHoldOnlyValuesTheMastersAccept)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    ASSERT_FALSE(xmllint.isEmpty()) << "xmllint (libxml2-utils) is a build dependency";
    for (const QString& name : ShippedSheets) {
        const QString file = name + QStringLiteral(".styles.xml");
        SCOPED_TRACE(file.toStdString());
        const QString path = PLResources::pathFor(file);
        ASSERT_FALSE(path.isEmpty());
        QProcess lint;
        lint.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
                             PLResources::pathFor(QStringLiteral("styles.xsd"), PLXMLSchemaValidator::SchemaFolder), path});
        ASSERT_TRUE(lint.waitForFinished(60000));
        EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();

        PLError error;
        const PLXMLDocument xml = IXDocumentNode::loadXML(resource(file), &error);
        EXPECT_FALSE(error) << error.failureReason().toStdString();
        const auto sheet = IXStyleSheetNode::styleSheetFromData(resource(file));
        ASSERT_TRUE(sheet);
        // The masters hold every attribute the file gives them: none was refused.
        int written = 0;
        for (PLXMLElement master = xml.rootElement().firstChildElement(); master; master = master.nextSiblingElement()) {
            written += int(master.childElements("a").size());
        }
        int held = 0;
        for (int type = IXStyleTypeCanvas; type < IXStyleType_Last; ++type) {
            const auto master = sheet->styleForMaster(type);
            held += int(master->attributes().size());
            for (auto it = master->attributes().constBegin(); it != master->attributes().constEnd(); ++it) {
                SCOPED_TRACE(it.key().toStdString());
                EXPECT_TRUE(master->isApplicableAttribute(it.key()));
                if (it.value().kind() == IXStyleValue::Kind::Text && !it.key().endsWith(QLatin1String(".family"))) {
                    bool number = false;
                    it.value().toString()->toDouble(&number);
                    EXPECT_TRUE(number) << "not a number: " << it.value().description().toStdString();
                }
            }
        }
        EXPECT_EQ(held, written);
        // Master attributes in the canvas or root branch, so that a saved sheet is not
        // given the defaults again at every opening.
        EXPECT_FALSE(sheet->styleForMaster(IXStyleTypeCanvas)->attributes().isEmpty()
                     && sheet->styleForMaster(IXStyleTypeRootBranch)->attributes().isEmpty());
    }
}

}  // namespace
