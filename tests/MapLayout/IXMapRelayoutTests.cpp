// An edit lays out again only what it touched: after every edit the cells of the map must be
// where a fresh layout of the same document puts them, in each of the three map layouts.

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "IXLayoutTestSupport.h"
#include "IXStackLookUps.h"
#include "IXTextMeasurementsProbe.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXIconsCell.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "MapLayout/IXMapCellFactory.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTextMeasurements.h"
#include "Platform/Core/PLLog.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The application's cells, measuring real titles.
class MapCells : public IXMapCellFactory {
public:
    MapCells() { install(this); }
    ~MapCells() override { install(nullptr); }
};

QString rectText(const PLRect& r)
{
    return QStringLiteral("{%1, %2, %3, %4}").arg(r.minX()).arg(r.minY()).arg(r.width()).arg(r.height());
}

void describe(QStringList& lines, const QString& label, IXLayoutCell* cell, int depth)
{
    if (!cell) return;
    lines << QString(depth * 2, QLatin1Char(' ')) + label + QLatin1Char(' ')
                 + rectText(cell->convertRectToCell(cell->bounds(), nullptr));
}

// Every cell of a branch group's subtree with its canvas rectangle, in tree order.
void describeGroup(QStringList& lines, IXMapBranchGroupCell* group, int depth)
{
    describe(lines, QStringLiteral("group ") + titleOf(group), group, depth);
    if (IXBranchCell* box = group->branchCell()) {
        describe(lines, QStringLiteral("box"), box, depth + 1);
        describe(lines, QStringLiteral("title"), box->titleCell(), depth + 2);
        describe(lines, QStringLiteral("icons"), box->iconsCell(), depth + 2);
        describe(lines, QStringLiteral("comment"), box->commentCell(), depth + 2);
        describe(lines, QStringLiteral("attachments"), box->attachmentsCell(), depth + 2);
        describe(lines, QStringLiteral("outline"), box->outlineCell(), depth + 2);
        describe(lines, QStringLiteral("picture"), box->pictureCell(), depth + 2);
    }
    describe(lines, QStringLiteral("boundary"), group->boundaryCell(), depth + 1);
    describe(lines, QStringLiteral("button"), group->collapseCell(), depth + 1);
    for (const auto& cell : group->cells())
        if (auto* child = dynamic_cast<IXMapBranchGroupCell*>(cell.get())) describeGroup(lines, child, depth + 1);
}

void collectBranches(IXBranchNode* branch, std::vector<IXBranchNode*>& branches)
{
    branches.push_back(branch);
    for (const auto& child : branch->branches()) collectBranches(child.get(), branches);
}

// What a context shows, one line each (compared as one text, so that a failure shows the
// lines that differ): every cell's canvas rectangle, the drawing order, and which branches it
// finds a group for (those under a collapsed branch have none).
std::string shownBy(IXLayoutContext* context, IXDocumentNode* document)
{
    QStringList lines;
    for (const auto& cell : context->branchLayer()->cells())
        if (auto* group = dynamic_cast<IXMapBranchGroupCell*>(cell.get())) describeGroup(lines, group, 0);
    QStringList drawn;
    for (const auto& cell : context->drawStack()) drawn << labelOf(cell.get());
    lines << QStringLiteral("drawn: ") + drawn.join(QStringLiteral(", "));
    QStringList found;
    std::vector<IXBranchNode*> branches;
    for (const auto& root : document->rootBranches()) collectBranches(static_cast<IXBranchNode*>(root.get()), branches);
    for (IXBranchNode* branch : branches) {
        IXBranchGroupCell* group = context->cells().branchGroupCellForNode(branch);
        if (!group) continue;
        found << branch->title();
        // The group found is a live one of that branch.
        EXPECT_EQ(group->node(), branch);
        EXPECT_EQ(group->context(), context);
    }
    lines << QStringLiteral("found: ") + found.join(QStringLiteral(", "));
    return lines.join(QLatin1Char('\n')).toStdString();
}

struct RelayoutMap : MapFixtureWith<MapCells> {
    std::unique_ptr<IXLayoutContext> context;
    QString layoutName;
    std::shared_ptr<IXBranchNode> root;
    std::vector<std::shared_ptr<IXBranchNode>> mains;

    // A root with four main branches of three sub-branches each, two leaves under every
    // sub-branch; titles of several lengths, notes and icons here and there.
    explicit RelayoutMap(const QString& name) : layoutName(name)
    {
        root = addRoot(QStringLiteral("The central topic"));
        int number = 0;
        for (int m = 0; m < 4; ++m) {
            auto main = addChild(root, QStringLiteral("Main %1").arg(m));
            mains.push_back(main);
            for (int s = 0; s < 3; ++s) {
                auto sub = addChild(main, QStringLiteral("Sub %1.%2 with a longer title").arg(m).arg(s));
                for (int l = 0; l < 2; ++l) {
                    auto leaf = addChild(sub, QStringLiteral("Leaf %1.%2.%3").arg(m).arg(s).arg(l));
                    if (++number % 3 == 0) leaf->appendIcon(QStringLiteral("star"));
                    if (number % 4 == 0) leaf->addTextnote()->setTextString(QStringLiteral("A note"));
                }
            }
        }
        context = std::make_unique<IXLayoutContext>(&controller, layout(layoutName));
        layOut();
    }
    ~RelayoutMap()
    {
        if (context) context->invalidate();
    }
    void layOut()
    {
        settle(context.get());
        context->performLayoutIfNeeded();
    }
    IXBranchNode* sub(int m, int s) const { return mains[size_t(m)]->branches()[s].get(); }
    IXBranchNode* leaf(int m, int s, int l) const { return sub(m, s)->branches()[l].get(); }

    std::string freshLayout()
    {
        IXLayoutContext fresh(&controller, layout(layoutName));
        settle(&fresh);
        fresh.performLayoutIfNeeded();
        std::string lines = shownBy(&fresh, document.get());
        fresh.invalidate();
        return lines;
    }
};

struct Edit {
    const char* name;
    std::function<void(RelayoutMap&)> apply;
};

// In this order: hidden branches change while their main branch is collapsed, and are shown
// again afterwards.
const std::vector<Edit>& edits()
{
    static const std::vector<Edit> table = {
        {"retitle a leaf",
         [](RelayoutMap& m) { m.leaf(1, 2, 0)->setTitle(QStringLiteral("A leaf retitled with a much longer title")); }},
        {"retitle a main branch",
         [](RelayoutMap& m) { m.mains[2]->setTitle(QStringLiteral("Main two, now\non two lines")); }},
        {"add a sub-branch",
         [](RelayoutMap& m) { RelayoutMap::addChild(m.mains[1]->branches()[1], QStringLiteral("An added leaf")); }},
        {"add a main branch",
         [](RelayoutMap& m) { RelayoutMap::addChild(m.root, QStringLiteral("An added main branch")); }},
        {"collapse a main branch", [](RelayoutMap& m) { m.mains[1]->setCollapsed(true, false); }},
        {"retitle a hidden leaf",
         [](RelayoutMap& m) { m.leaf(1, 0, 1)->setTitle(QStringLiteral("Retitled while hidden")); }},
        {"add under a hidden branch",
         [](RelayoutMap& m) {
             RelayoutMap::addChild(m.mains[1]->branches()[2], QStringLiteral("Added while hidden"));
         }},
        {"remove a hidden branch", [](RelayoutMap& m) { m.sub(1, 0)->removeBranch(m.sub(1, 0)->branches()[0]); }},
        {"change the vertical gap",
         [](RelayoutMap& m) { m.context->styleForNode(m.document.get())->setDocumentGapVertical(17); }},
        {"collapse a hidden branch", [](RelayoutMap& m) { m.sub(1, 1)->setCollapsed(true, false); }},
        // In the mind map the hidden branches turn with their main branch once shown.
        {"move the collapsed main branch to the other side",
         [](RelayoutMap& m) {
             const std::shared_ptr<IXStyleNode> style = m.context->styleForNode(m.mains[1].get());
             style->setBranchLayoutType(style->branchLayoutType() == 3 ? 2 : 3);
         }},
        {"expand the main branch", [](RelayoutMap& m) { m.mains[1]->setCollapsed(false, false); }},
        {"expand the inner branch", [](RelayoutMap& m) { m.sub(1, 1)->setCollapsed(false, false); }},
        {"remove a sub-branch", [](RelayoutMap& m) { m.mains[3]->removeBranch(m.mains[3]->branches()[1]); }},
        // Inserting takes the branch out of its old parent's list.
        {"move a branch to another parent",
         [](RelayoutMap& m) { m.mains[3]->insertBranch(m.mains[0]->branches()[2], 0); }},
        {"move a branch within its parent", [](RelayoutMap& m) { m.sub(2, 0)->moveBranchAtIndex(0, -1); }},
        {"collapse, edit inside and expand in one turn",
         [](RelayoutMap& m) {
             m.mains[2]->setCollapsed(true, false);
             m.context->performLayoutIfNeeded();
             m.leaf(2, 1, 1)->setTitle(QStringLiteral("Retitled behind a collapse"));
             m.mains[2]->setCollapsed(false, false);
         }},
        {"move a collapsed branch to another parent",
         [](RelayoutMap& m) {
             std::shared_ptr<IXBranchNode> moving = m.mains[3]->branches()[0];
             moving->setCollapsed(true, false);
             m.context->performLayoutIfNeeded();
             m.mains[1]->insertBranch(moving, 1);
         }},
        {"expand the moved branch", [](RelayoutMap& m) { m.mains[1]->branches()[1]->setCollapsed(false, false); }},
        {"remove a main branch", [](RelayoutMap& m) { m.root->removeBranch(m.mains[0]); }},
        // Changes of the root list keep the groups of the roots that stay.
        {"add a root branch",
         [](RelayoutMap& m) {
             RelayoutMap::addChild(m.addRoot(QStringLiteral("A second root")), QStringLiteral("Its child"));
         }},
        {"make a sub-branch a root", [](RelayoutMap& m) { m.document->addRootBranch(m.mains[2]->branches()[0]); }},
        {"take a root into another tree and back in one turn",
         [](RelayoutMap& m) {
             const std::shared_ptr<IXNode> second = m.document->rootBranches()[1];
             m.mains[3]->insertBranch(std::static_pointer_cast<IXBranchNode>(second), -1);
             m.document->insertRootBranch(second, 1);
         }},
        {"put a root into another tree",
         [](RelayoutMap& m) {
             m.mains[1]->insertBranch(std::static_pointer_cast<IXBranchNode>(m.document->rootBranches().back()), 0);
         }},
        {"remove a root branch", [](RelayoutMap& m) { m.document->removeRootBranch(m.document->rootBranches()[1]); }},
    };
    return table;
}

class IXMapRelayoutTests : public testing::TestWithParam<const char*> {};

TEST_P(IXMapRelayoutTests, EveryEditLeavesTheCellsWhereAFreshLayoutPutsThem)
{
    RelayoutMap map(QString::fromLatin1(GetParam()));
    ASSERT_EQ(shownBy(map.context.get(), map.document.get()), map.freshLayout());
    for (const Edit& edit : edits()) {
        SCOPED_TRACE(edit.name);
        edit.apply(map);
        map.context->performLayoutIfNeeded();
        const std::string incremental = shownBy(map.context.get(), map.document.get());
        const std::string fresh = map.freshLayout();
        EXPECT_EQ(incremental, fresh);
        // The extents kept through the edits skip no cell that the stacks hold.
        EXPECT_EQ(lookUpsDifferingFromTheStacks(map.context.get()), QStringList());
        if (incremental != fresh) break;
    }
}

// Collapsing keeps the hidden branches' cells aside, out of the stacks and the look-up by node;
// expanding brings them back without measuring a title again.
TEST_P(IXMapRelayoutTests, ExpandingShowsTheHiddenCellsAgainWithoutMeasuringThem)
{
    RelayoutMap map(QString::fromLatin1(GetParam()));
    IXBranchNode* hidden = map.sub(2, 1);
    IXBranchGroupCell* before = map.context->cells().branchGroupCellForNode(hidden);
    ASSERT_TRUE(before);
    map.mains[2]->setCollapsed(true, false);
    map.layOut();
    auto* main = dynamic_cast<IXMapBranchGroupCell*>(map.context->cells().branchGroupCellForNode(map.mains[2].get()));
    ASSERT_TRUE(main && main->collapseCell() && main->cells().empty());
    EXPECT_EQ(map.context->cells().branchGroupCellForNode(hidden), nullptr);
    EXPECT_EQ(map.context->cells().branchCellForNode(hidden), nullptr);

    const std::uint64_t measured = IXTextMeasurementsProbe::layoutCount();
    map.mains[2]->setCollapsed(false, false);
    map.layOut();
    EXPECT_EQ(map.context->cells().branchGroupCellForNode(hidden), before);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(), measured);
    EXPECT_EQ(shownBy(map.context.get(), map.document.get()), map.freshLayout());
}

// A change of the root list alone builds cells only for the roots that came: the others keep
// their groups, already laid out, and their titles are not measured again.
TEST_P(IXMapRelayoutTests, AddingARootKeepsTheOtherRootsCells)
{
    RelayoutMap map(QString::fromLatin1(GetParam()));
    IXBranchGroupCell* kept = map.context->cells().branchGroupCellForNode(map.root.get());
    IXBranchGroupCell* leaf = map.context->cells().branchGroupCellForNode(map.leaf(3, 2, 1));
    ASSERT_TRUE(kept && leaf);
    const std::uint64_t measured = IXTextMeasurementsProbe::layoutCount();
    map.addRoot(QStringLiteral("A title no cell measured before, in ") + map.layoutName);
    map.layOut();
    EXPECT_EQ(map.context->cells().branchGroupCellForNode(map.root.get()), kept);
    EXPECT_EQ(map.context->cells().branchGroupCellForNode(map.leaf(3, 2, 1)), leaf);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(), measured + 1);
    EXPECT_EQ(shownBy(map.context.get(), map.document.get()), map.freshLayout());
}

INSTANTIATE_TEST_SUITE_P(Layouts, IXMapRelayoutTests, testing::Values("mindmap", "leftright", "topdown"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// A group whose list holds two cells of one branch (what a list that named the branch twice
// leaves) keeps the first when it rebuilds and ends the other before letting it go; the
// branch's look-up then names the kept one.
TEST(IXMapRelayoutDuplicateTests, ARebuildThatMeetsABranchTwiceEndsTheCellItDrops)
{
    QStringList logged;
    const PLLog::Sink previous = PLLog::setSink([&](const QString& line) { logged << line; });
    {
        RelayoutMap map(QStringLiteral("leftright"));
        IXBranchNode* repeated = map.sub(0, 1);
        IXBranchGroupCell* kept = map.context->cells().branchGroupCellForNode(repeated);
        auto* group = dynamic_cast<IXMapBranchGroupCell*>(map.context->cells().branchGroupCellForNode(map.mains[0].get()));
        ASSERT_TRUE(group && kept);
        std::weak_ptr<IXBranchGroupCell> dropped;
        {
            std::shared_ptr<IXBranchGroupCell> second =
                IXLayoutCellFactory::sharedFactory()->makeBranchGroupCell(map.context.get(), group, repeated);
            group->addCell(second);
            map.context->cells().setCellForNode(second, repeated);
            second->reloadBranches();
            dropped = second;
        }
        RelayoutMap::addChild(map.mains[0], QStringLiteral("Added after the repeat"));
        map.layOut();
        EXPECT_EQ(map.context->cells().branchGroupCellForNode(repeated), kept);
        EXPECT_EQ(kept->context(), map.context.get());
        if (std::shared_ptr<IXBranchGroupCell> second = dropped.lock()) EXPECT_EQ(second->context(), nullptr);
        EXPECT_EQ(shownBy(map.context.get(), map.document.get()), map.freshLayout());
    }
    PLLog::setSink(previous);
    EXPECT_EQ(logged, QStringList());
}

}  // namespace
