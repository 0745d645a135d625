// The look-up chain of style sheets: for each kind of node, and asked in a layout sheet or
// in the document sheet, every place of the chain holds a different value; the test reads
// the value, checks it came from the expected place, removes it there and reads again, so
// that the whole order is checked, and places that are not in the chain must never answer.
#include "IXStyleTestNodes.h"
#include "TestSupport/QStringPrinter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using Kind = StyledTestNode::Kind;

const QString Probe = QStringLiteral("test.probe");

// Places of the chain: a node's own style in the layout sheet ("L own") or the document
// sheet ("D own"), the document node's style in either sheet ("L doc", "D doc"), and the
// master styles of either sheet by type name ("L subbranch", "D canvas", ...).
struct Place {
    QString name;
    std::shared_ptr<IXStyleNode> style;
};

std::vector<Place> allPlaces(StyledDocument& doc, IXNode* node)
{
    std::vector<Place> places;
    const auto add = [&places](const QString& name, const std::shared_ptr<IXStyleNode>& style) {
        for (const Place& place : places) {
            if (place.style == style) return;  // the document node's own style is its "doc" style
        }
        places.push_back({name, style});
    };
    IXDocumentNode* document = doc.document.get();
    add(QStringLiteral("L own"), doc.layoutSheet()->styleForNode(node));
    add(QStringLiteral("D own"), doc.documentSheet()->styleForNode(node));
    add(QStringLiteral("L doc"), doc.layoutSheet()->styleForNode(document));
    add(QStringLiteral("D doc"), doc.documentSheet()->styleForNode(document));
    for (int type = IXStyleTypeCanvas; type < IXStyleType_Last; ++type) {
        add(QStringLiteral("L ") + IXStyleSheetNode::styleTypeName(type), doc.layoutSheet()->styleForMaster(type));
        add(QStringLiteral("D ") + IXStyleSheetNode::styleTypeName(type), doc.documentSheet()->styleForMaster(type));
    }
    return places;
}

struct ChainCase {
    const char* label;
    Kind kind;
    int level;
    bool documentNode;   // the node asked for is the document itself
    bool inLayoutSheet;  // asked in the "mindmap" sheet, else in the document sheet
    QStringList chain;   // the places that answer, in order
};

QStringList layoutChain(const QStringList& masters)
{
    QStringList chain{QStringLiteral("L own"), QStringLiteral("D own"), QStringLiteral("L doc")};
    for (const QString& master : masters) chain << QStringLiteral("L ") + master << QStringLiteral("D ") + master;
    return chain;
}

QStringList documentChain(const QStringList& masters)
{
    QStringList chain{QStringLiteral("D own"), QStringLiteral("D doc")};
    for (const QString& master : masters) chain << QStringLiteral("D ") + master;
    return chain;
}

const QStringList RootMasters{"rootbranch", "canvas"};
const QStringList MainMasters{"mainbranch", "rootbranch", "canvas"};
const QStringList SubMasters{"subbranch", "mainbranch", "rootbranch", "canvas"};
const QStringList DeepMasters{"subsubbranch", "subbranch", "mainbranch", "rootbranch", "canvas"};

const ChainCase Cases[] = {
    {"root branch in a layout", Kind::Branch, 0, false, true, layoutChain(RootMasters)},
    {"main branch in a layout", Kind::Branch, 1, false, true, layoutChain(MainMasters)},
    {"sub-branch in a layout", Kind::Branch, 2, false, true, layoutChain(SubMasters)},
    {"level 3 branch in a layout", Kind::Branch, 3, false, true, layoutChain(DeepMasters)},
    {"level 7 branch in a layout", Kind::Branch, 7, false, true, layoutChain(DeepMasters)},
    {"picture in a layout", Kind::Picture, 0, false, true, layoutChain({"picture", "canvas"})},
    {"comment in a layout", Kind::Comment, 0, false, true, layoutChain({"comment", "canvas"})},
    {"connection in a layout", Kind::Connection, 0, false, true, layoutChain({"connection", "canvas"})},
    {"node of no kind in a layout", Kind::Other, 0, false, true, layoutChain({})},
    // The document node's own style in the layout is its "doc" style; the document sheet's
    // document-node style answers for it through the master sheet.
    {"document node in a layout", Kind::Other, 0, true, true,
     {"L own", "D own", "L canvas", "D canvas"}},
    {"root branch in the document sheet", Kind::Branch, 0, false, false, documentChain(RootMasters)},
    {"sub-branch in the document sheet", Kind::Branch, 2, false, false, documentChain(SubMasters)},
    {"picture in the document sheet", Kind::Picture, 0, false, false, documentChain({"picture", "canvas"})},
    {"document node in the document sheet", Kind::Other, 0, true, false, {"D own", "D canvas"}},
};

TEST(IXStyleLookup, ChainOrderForEveryKindOfNode)
{
    for (const ChainCase& row : Cases) {
        SCOPED_TRACE(row.label);
        StyledDocument doc;
        std::shared_ptr<StyledTestNode> node;
        IXNode* asked = doc.document.get();
        if (!row.documentNode) {
            node = doc.add(row.kind, row.level);
            asked = node.get();
        }
        std::vector<Place> places = allPlaces(doc, asked);
        // Each place holds a value that names it; "L own" and "D own" name the node's own
        // styles also when the node is the document.
        for (const Place& place : places) place.style->setValue(IXStyleValue::text(place.name), Probe);
        const std::shared_ptr<IXStyleNode> style =
            (row.inLayoutSheet ? doc.layoutSheet() : doc.documentSheet())->styleForNode(asked);

        QStringList answered;
        for (int step = 0; step < int(places.size()); ++step) {
            const IXStyleValue value = style->attribute(Probe);
            if (!value) break;
            const QString from = *value.toString();
            answered << from;
            for (const Place& place : places) {
                if (place.name == from) place.style->setValue(IXStyleValue(), Probe);
            }
        }
        EXPECT_EQ(answered, row.chain);
        // With the chain exhausted the typed getters fall back to their defaults.
        EXPECT_EQ(style->intValueForAttribute(Probe, 42), 42);
    }
}

TEST(IXStyleLookup, LookUpsCreateNothing)
{
    StyledDocument doc;
    const auto node = doc.add(Kind::Branch, 2);
    const auto style = doc.layoutSheet()->styleForNode(node.get());
    const qsizetype layoutStyles = doc.layoutSheet()->nodeStyles().size();
    const qsizetype documentStyles = doc.documentSheet()->nodeStyles().size();
    EXPECT_FALSE(style->attribute(Probe));
    EXPECT_EQ(doc.layoutSheet()->nodeStyles().size(), layoutStyles);
    EXPECT_EQ(doc.documentSheet()->nodeStyles().size(), documentStyles);
}

TEST(IXStyleLookup, BranchFollowsItsNewLevel)
{
    StyledDocument doc;
    const auto branch = doc.add(Kind::Branch, 1);
    doc.documentSheet()->styleForMaster(IXStyleTypeMainBranch)->setBranchLineWidth(3);
    doc.documentSheet()->styleForMaster(IXStyleTypeSubBranch)->setBranchLineWidth(2);
    const auto inDocument = doc.documentSheet()->styleForNode(branch.get());
    const auto inLayout = doc.layoutSheet()->styleForNode(branch.get());
    EXPECT_EQ(inDocument->master(), IXStyleTypeMainBranch);
    EXPECT_EQ(inLayout->branchLineWidth(), 3);

    branch->setLevel(2);
    EXPECT_EQ(inDocument->master(), IXStyleTypeSubBranch);
    EXPECT_EQ(inLayout->master(), IXStyleTypeSubBranch);
    EXPECT_EQ(inLayout->branchLineWidth(), 2);
    EXPECT_EQ(inDocument->branchLineWidth(), 2);
}

TEST(IXStyleLookup, MasterLinksThatLoopDoNotHang)
{
    StyledDocument doc;
    const auto branch = doc.add(Kind::Branch, 1);
    // Nothing in a file sets master links, but a loop must still end.
    doc.documentSheet()->styleForMaster(IXStyleTypeRootBranch)->setMaster(IXStyleTypeMainBranch);
    EXPECT_FALSE(doc.documentSheet()->styleForNode(branch.get())->attribute(Probe));
}

}  // namespace
