// The look-up chain of style sheets: for each kind of node, and asked in a layout sheet or
// in the document sheet, every place of the chain holds a different value; the test reads
// the value, checks it came from the expected place, removes it there and reads again, so
// that the whole order is checked, and places that are not in the chain must never answer.
#include "IXStyleSheetNodeProbe.h"
#include "IXStyleTestNodes.h"
#include "TestSupport/QStringPrinter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
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

// The places named in skip are left out and their styles are not made.
std::vector<Place> allPlaces(StyledDocument& doc, IXNode* node, const QStringList& skip = {})
{
    std::vector<Place> places;
    const auto add = [&places, &skip](const QString& name, const auto& make) {
        if (skip.contains(name)) return;
        const std::shared_ptr<IXStyleNode> style = make();
        for (const Place& place : places) {
            if (place.style == style) return;  // the document node's own style is its "doc" style
        }
        places.push_back({name, style});
    };
    IXDocumentNode* document = doc.document.get();
    add(QStringLiteral("L own"), [&] { return doc.layoutSheet()->styleForNode(node); });
    add(QStringLiteral("D own"), [&] { return doc.documentSheet()->styleForNode(node); });
    add(QStringLiteral("L doc"), [&] { return doc.layoutSheet()->styleForNode(document); });
    add(QStringLiteral("D doc"), [&] { return doc.documentSheet()->styleForNode(document); });
    for (int type = IXStyleTypeCanvas; type < IXStyleType_Last; ++type) {
        add(QStringLiteral("L ") + IXStyleSheetNode::styleTypeName(type), [&] { return doc.layoutSheet()->styleForMaster(type); });
        add(QStringLiteral("D ") + IXStyleSheetNode::styleTypeName(type), [&] { return doc.documentSheet()->styleForMaster(type); });
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

// The node that a row asks for: the document, or a new node of the row's kind (kept in node).
IXNode* askedNode(StyledDocument& doc, const ChainCase& row, std::shared_ptr<StyledTestNode>& node)
{
    if (row.documentNode) return doc.document.get();
    node = doc.add(row.kind, row.level);
    return node.get();
}

// Each place holds a value that names it; reads until nothing answers, removing the value
// of the place that answered each time, and gives the places in the order they answered.
QStringList answeringPlaces(const std::vector<Place>& places, const std::function<IXStyleValue()>& read,
                            IXStyleName name = Probe)
{
    for (const Place& place : places) place.style->setValue(IXStyleValue::text(place.name), name);
    QStringList answered;
    for (int step = 0; step < int(places.size()); ++step) {
        const IXStyleValue value = read();
        if (!value) break;
        answered << *value.toString();
        for (const Place& place : places) {
            if (place.name == answered.last()) place.style->setValue(IXStyleValue(), name);
        }
    }
    return answered;
}

TEST(IXStyleLookup, ChainOrderForEveryKindOfNode)
{
    for (const ChainCase& row : Cases) {
        SCOPED_TRACE(row.label);
        StyledDocument doc;
        std::shared_ptr<StyledTestNode> node;
        IXNode* asked = askedNode(doc, row, node);
        // "L own" and "D own" name the node's own styles also when the node is the document.
        const std::vector<Place> places = allPlaces(doc, asked);
        const std::shared_ptr<IXStyleNode> style =
            (row.inLayoutSheet ? doc.layoutSheet() : doc.documentSheet())->styleForNode(asked);
        const QStringList answered = answeringPlaces(places, [&] { return style->attribute(Probe); });
        EXPECT_EQ(answered, row.chain);
        // With the chain exhausted the typed getters fall back to their defaults.
        EXPECT_EQ(style->intValueForAttribute(Probe, 42), 42);
    }
}

// Reading styles answer from the same places in the same order as the node's own style,
// whether the node has a style in the document sheet (which it then needs of its own in
// the layout sheet, to be found by its ref) or none anywhere (then nothing is made).
TEST(IXStyleLookup, ReadingStylesFollowTheSameChain)
{
    for (const bool documentSheetStyle : {false, true}) {
        for (const ChainCase& row : Cases) {
            if (!row.inLayoutSheet) continue;
            SCOPED_TRACE(std::string(row.label) + (documentSheetStyle ? ", styled in the document sheet" : ""));
            StyledDocument doc;
            std::shared_ptr<StyledTestNode> node;
            IXNode* asked = askedNode(doc, row, node);
            QStringList skip{QStringLiteral("L own")};
            if (!documentSheetStyle) skip << QStringLiteral("D own");
            // The document node's own styles are its "doc" styles.
            if (row.documentNode) skip << QStringLiteral("L doc");
            if (row.documentNode && !documentSheetStyle) skip << QStringLiteral("D doc");
            const std::vector<Place> places = allPlaces(doc, asked, skip);
            const qsizetype layoutStyles = doc.layoutSheet()->nodeStyles().size();
            const QStringList answered =
                answeringPlaces(places, [&] { return doc.layoutSheet()->styleForReading(asked)->attribute(Probe); });
            QStringList expected = row.chain;
            for (const QString& name : std::as_const(skip)) expected.removeAll(name);
            EXPECT_EQ(answered, expected);
            EXPECT_EQ(doc.layoutSheet()->nodeStyles().size(), layoutStyles + (documentSheetStyle ? 1 : 0));
        }
    }
}

TEST(IXStyleLookup, ReadingGivesTheOwnStyleOrOneSharedPerMasterTypeAndMakesTheId)
{
    StyledDocument doc;
    const auto sub1 = doc.add(Kind::Branch, 2);
    const auto sub2 = doc.add(Kind::Branch, 2);
    const auto main = doc.add(Kind::Branch, 1);
    const auto picture = doc.add(Kind::Picture);
    IXStyleSheetNode& sheet = *doc.layoutSheet();
    const qsizetype styles = sheet.nodeStyles().size();

    const auto shared = sheet.styleForReading(sub1.get());
    EXPECT_EQ(sheet.styleForReading(sub2.get()), shared);
    EXPECT_TRUE(sheet.isSharedStyle(shared.get()));
    EXPECT_TRUE(shared->refId().isEmpty());
    EXPECT_EQ(shared->master(), IXStyleTypeSubBranch);
    EXPECT_EQ(sheet.styleForReading(main.get())->master(), IXStyleTypeMainBranch);
    EXPECT_EQ(sheet.styleForReading(picture.get())->master(), IXStyleTypePicture);
    EXPECT_NE(sheet.styleForReading(main.get()), shared);
    EXPECT_EQ(sheet.nodeStyles().size(), styles);
    EXPECT_FALSE(sub1->existingUniqueId().isEmpty());

    // Once the node has a style of its own, reading gives that one.
    const auto own = sheet.styleForNode(sub1.get());
    EXPECT_EQ(sheet.styleForReading(sub1.get()), own);
    EXPECT_FALSE(sheet.isSharedStyle(own.get()));
    EXPECT_EQ(sheet.styleForReading(sub2.get()), shared);
    // A branch that moves reads through the master of its new level.
    sub2->setLevel(1);
    EXPECT_EQ(sheet.styleForReading(sub2.get())->master(), IXStyleTypeMainBranch);
    // Each sheet gives its own styles, whichever read the node last.
    EXPECT_EQ(doc.documentSheet()->styleForReading(sub2.get())->styleSheet(), doc.documentSheet().get());
    EXPECT_EQ(sheet.styleForReading(sub2.get())->styleSheet(), &sheet);
}

// A key and a text of the same name find the same value wherever in the chain it sits, for
// a node's own style and for a shared reading style, whether the value was stored by key or
// by text (as a file or a plug-in stores it).
TEST(IXStyleLookup, KeysAndTextsFindTheSameValues)
{
    for (int slot = 0; slot < IXStyleKeys::Count; ++slot) {
        const IXStyleKey key = IXStyleKey(slot);
        const QString text(IXStyleKeys::name(key).constData(), IXStyleKeys::name(key).size());
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(IXStyleKeys::keyForName(text), key);

        StyledDocument doc;
        const auto node = doc.add(Kind::Branch, 2);
        const auto plain = doc.add(Kind::Branch, 2);
        const std::vector<Place> places = allPlaces(doc, node.get());
        const auto own = doc.layoutSheet()->styleForReading(node.get());
        const auto shared = doc.layoutSheet()->styleForReading(plain.get());
        const auto storeBy = slot % 2 ? IXStyleName(key) : IXStyleName(text);
        const QStringList answered = answeringPlaces(
            places,
            [&] {
                EXPECT_EQ(shared->attribute(key), shared->attribute(text));
                const IXStyleValue value = own->attribute(key);
                EXPECT_EQ(value, own->attribute(text));
                return value;
            },
            storeBy);
        // Every node style and document style takes any name; only masters refuse some.
        EXPECT_GE(answered.size(), 4);
        EXPECT_FALSE(own->attribute(key));
        EXPECT_FALSE(shared->attribute(key));
    }
    EXPECT_FALSE(IXStyleKeys::keyForName(Probe).has_value());
}

// What the chain gives past a style's own value is kept per master type and key (or text)
// until any change; a read finds it there instead of going along the chain.
TEST(IXStyleLookup, ChainResultsAreKeptPerTypeUntilAChange)
{
    StyledDocument doc;
    std::vector<std::shared_ptr<StyledTestNode>> nodes;
    for (int i = 0; i < 5; ++i) nodes.push_back(doc.add(Kind::Branch, 2));
    IXStyleSheetNode& sheet = *doc.layoutSheet();
    const auto master = doc.documentSheet()->styleForMaster(IXStyleTypeSubBranch);
    master->setBranchLineWidth(3);
    const QString widthText = QStringLiteral("branch.line.width");
    const auto readAll = [&] {
        float sum = 0;
        for (const auto& node : nodes) sum += sheet.styleForReading(node.get())->branchLineWidth();
        return sum;
    };
    const auto kept = [&](int type) { return IXStyleSheetNodeProbe::keeps(sheet, IXStyleKey::BranchLineWidth, type); };
    EXPECT_FALSE(kept(IXStyleTypeSubBranch));
    EXPECT_EQ(readAll(), 15);
    EXPECT_TRUE(kept(IXStyleTypeSubBranch));
    EXPECT_FALSE(kept(IXStyleTypeMainBranch));
    // The way by text keeps what it found apart.
    EXPECT_FALSE(IXStyleSheetNodeProbe::keeps(sheet, widthText, IXStyleTypeSubBranch));
    for (const auto& node : nodes) EXPECT_EQ(sheet.styleForReading(node.get())->floatValueForAttribute(widthText, 0), 3);
    EXPECT_TRUE(IXStyleSheetNodeProbe::keeps(sheet, widthText, IXStyleTypeSubBranch));
    master->setBranchLineWidth(4);
    EXPECT_FALSE(kept(IXStyleTypeSubBranch));
    EXPECT_FALSE(IXStyleSheetNodeProbe::keeps(sheet, widthText, IXStyleTypeSubBranch));
    EXPECT_EQ(readAll(), 20);
    EXPECT_TRUE(kept(IXStyleTypeSubBranch));
    // Another master type has its own.
    nodes.front()->setLevel(1);
    EXPECT_EQ(readAll(), 17);
    EXPECT_TRUE(kept(IXStyleTypeMainBranch));
    // A node's own value comes before the chain, so what the chain gave stays kept (a layout
    // giving thousands of branches their sides keeps it); the document's style is on the chain.
    const auto own = sheet.styleForNode(nodes.back().get());
    EXPECT_EQ(readAll(), 17);
    own->setBranchLineWidth(1);
    EXPECT_TRUE(kept(IXStyleTypeSubBranch));
    EXPECT_TRUE(kept(IXStyleTypeMainBranch));
    EXPECT_EQ(readAll(), 14);
    sheet.styleForNode(doc.document.get())->setBranchLineWidth(2);
    EXPECT_FALSE(kept(IXStyleTypeSubBranch));
    EXPECT_EQ(readAll(), 9);
    // A node's style in the document sheet is read before the chain too.
    const auto documentOwn = doc.documentSheet()->styleForNode(nodes[1].get());
    EXPECT_EQ(readAll(), 9);
    documentOwn->setBranchLineWidth(7);
    EXPECT_TRUE(kept(IXStyleTypeSubBranch));
    EXPECT_EQ(readAll(), 14);
    own->setValue(IXStyleValue(), IXStyleKey::BranchLineWidth);
    EXPECT_EQ(readAll(), 15);
}

// The text attributes of a style that holds nothing are made once per master type: they
// follow every change, a style the node gets in either sheet, and undo.
TEST(IXStyleLookup, SharedTextAttributesFollowChangesAndUndo)
{
    StyledDocument doc;
    const auto node = doc.add(Kind::Branch, 2);
    const auto other = doc.add(Kind::Branch, 2);
    const auto size = [&](const std::shared_ptr<StyledTestNode>& of) {
        const std::optional<QFont> font = doc.layoutSheet()->styleForReading(of.get())->branchTextAttributes().font;
        return font ? font->pointSizeF() : 0.0;
    };
    // Only a size: the system font at that size, with no face to look up.
    const auto setSize = [](const std::shared_ptr<IXStyleNode>& style, int points) {
        style->setValue(IXStyleValue::integer(points), QStringLiteral("branch.text.font.size"));
    };
    struct Step {
        const char* label;
        std::function<void()> change;
        double shown;
        double shownOther;
    };
    const std::vector<Step> steps = {
        {"document sheet's canvas", [&] { setSize(doc.documentSheet()->styleForMaster(IXStyleTypeCanvas), 20); }, 20, 20},
        {"layout sheet's sub-branch master", [&] { setSize(doc.layoutSheet()->styleForMaster(IXStyleTypeSubBranch), 30); }, 30, 30},
        {"node's style in the document sheet", [&] { setSize(doc.documentSheet()->styleForNode(node.get()), 9); }, 9, 30},
        {"node's own style", [&] { setSize(doc.layoutSheet()->styleForNode(node.get()), 11); }, 11, 30},
    };
    doc.undo.setGroupsByEvent(false);
    std::vector<std::pair<double, double>> shown{{size(node), size(other)}};
    EXPECT_EQ(shown.back(), std::make_pair(0.0, 0.0));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        doc.undo.beginUndoGrouping();
        step.change();
        doc.undo.endUndoGrouping();
        EXPECT_EQ(size(node), step.shown);
        EXPECT_EQ(size(other), step.shownOther);
        shown.emplace_back(size(node), size(other));
    }
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        SCOPED_TRACE(std::string("undo of ") + step->label);
        ASSERT_TRUE(doc.undo.canUndo());
        doc.undo.undo();
        shown.pop_back();
        EXPECT_EQ(size(node), shown.back().first);
        EXPECT_EQ(size(other), shown.back().second);
    }
}

// A value read once is read anew after every change along the chain and after each undo:
// nothing read before a change is shown after it.
TEST(IXStyleLookup, ReadsSeeEveryChangeAlongTheChainAndItsUndo)
{
    StyledDocument doc;
    const auto node = doc.add(Kind::Branch, 2);
    const auto other = doc.add(Kind::Branch, 2);
    IXDocumentNode* document = doc.document.get();
    const auto read = [&] {
        const auto style = doc.layoutSheet()->styleForReading(node.get());
        const float width = style->branchLineWidth();
        // The way by name (a string of its own) sees the same.
        EXPECT_EQ(style->floatValueForAttribute(QStringLiteral("branch.line.width"), 1), width);
        return width;
    };
    const auto readOther = [&] { return doc.layoutSheet()->styleForReading(other.get())->branchLineWidth(); };
    auto templateSheet = std::make_shared<IXStyleSheetNode>();
    templateSheet->styleForMaster(IXStyleTypeCanvas)->setBranchLineWidth(9);

    struct Step {
        const char* label;
        std::function<void()> change;
        float shown;       // by the node
        float shownOther;  // by a node of the same kind without styles of its own
    };
    const std::vector<Step> steps = {
        {"template applied to the document sheet", [&] { doc.documentSheet()->applyMasterStyle(*templateSheet); }, 9, 9},
        {"document sheet's canvas", [&] { doc.documentSheet()->styleForMaster(IXStyleTypeCanvas)->setBranchLineWidth(2); }, 2, 2},
        {"layout sheet's main-branch master", [&] { doc.layoutSheet()->styleForMaster(IXStyleTypeMainBranch)->setBranchLineWidth(3); }, 3, 3},
        {"document sheet's sub-branch master", [&] { doc.documentSheet()->styleForMaster(IXStyleTypeSubBranch)->setBranchLineWidth(4); }, 4, 4},
        {"layout sheet's sub-branch master", [&] { doc.layoutSheet()->styleForMaster(IXStyleTypeSubBranch)->setBranchLineWidth(5); }, 5, 5},
        {"document node's style in the layout sheet", [&] { doc.layoutSheet()->styleForNode(document)->setBranchLineWidth(6); }, 6, 6},
        {"template applied to the layout sheet", [&] { doc.layoutSheet()->applyMasterStyle(*templateSheet); }, 6, 6},
        {"node's style in the document sheet", [&] { doc.documentSheet()->styleForNode(node.get())->setBranchLineWidth(7); }, 7, 6},
        {"node's own style", [&] { doc.layoutSheet()->styleForNode(node.get())->setBranchLineWidth(8); }, 8, 6},
    };
    doc.undo.setGroupsByEvent(false);
    std::vector<std::pair<float, float>> shown{{read(), readOther()}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        doc.undo.beginUndoGrouping();
        step.change();
        doc.undo.endUndoGrouping();
        EXPECT_EQ(read(), step.shown);
        EXPECT_EQ(readOther(), step.shownOther);
        shown.emplace_back(read(), readOther());
    }
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        SCOPED_TRACE(std::string("undo of ") + step->label);
        ASSERT_TRUE(doc.undo.canUndo());
        doc.undo.undo();
        shown.pop_back();
        EXPECT_EQ(read(), shown.back().first);
        EXPECT_EQ(readOther(), shown.back().second);
    }
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string("redo of ") + step.label);
        ASSERT_TRUE(doc.undo.canRedo());
        doc.undo.redo();
        EXPECT_EQ(read(), step.shown);
        EXPECT_EQ(readOther(), step.shownOther);
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
