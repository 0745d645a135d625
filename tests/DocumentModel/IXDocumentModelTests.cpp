// The document model as a whole: a rich document survives save and reopen, and a scripted
// sequence of edits of every kind undoes and redoes exactly.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWarning.h"
#include "IXFakeServices.h"
#include "IXRichDocument.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/Core/PLUndoManager.h"
#include "Utilities/UTZipArchive.h"

#include <gtest/gtest.h>

namespace {

using Parts = QList<QPair<QString, QByteArray>>;

std::shared_ptr<IXDocumentNode> reopen(const QByteArray& package)
{
    PLError error;
    std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(package, &error);
    EXPECT_TRUE(document) << error.failureReason().toStdString();
    if (document)
        EXPECT_TRUE(document->warnings().isEmpty()) << "schema: " << document->warnings().value(0)->message().toStdString();
    return document;
}

QByteArray save(IXDocumentNode& document)
{
    const std::optional<QByteArray> package = document.zipData();
    EXPECT_TRUE(package);
    return package.value_or(QByteArray());
}

QStringList namesOf(const Parts& parts)
{
    QStringList names;
    for (const auto& part : parts) names << part.first;
    return names;
}

QByteArray partNamed(const Parts& parts, const QString& name)
{
    for (const auto& part : parts) {
        if (part.first == name) return part.second;
    }
    return QByteArray();
}

// Where two texts part: a little of each from the first difference on.
std::string firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const qsizetype from = std::max<qsizetype>(0, at - 80);
    return "actual   ..." + actual.mid(from, 240).toStdString() + "\nexpected ..." + expected.mid(from, 240).toStdString();
}

// The registry of additional folders follows the references as they come and go, also while
// undoing; the order in which it lists folders and files is not part of the undo.
QVariant withSortedLists(const QVariant& value)
{
    if (value.typeId() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) it.value() = withSortedLists(it.value());
        return map;
    }
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList) {
        QStringList texts = value.toStringList();
        texts.sort();
        return texts;
    }
    return value;
}

bool sameFolders(const QByteArray& actual, const QByteArray& expected)
{
    return withSortedLists(PLPropertyList::read(actual)) == withSortedLists(PLPropertyList::read(expected));
}

void expectSameParts(const Parts& actual, const Parts& expected)
{
    ASSERT_EQ(namesOf(actual), namesOf(expected));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected[i].first == QLatin1String("additional_folders.plist")) {
            EXPECT_TRUE(sameFolders(actual[i].second, expected[i].second)) << firstDifference(actual[i].second, expected[i].second);
            continue;
        }
        if (actual[i].second != expected[i].second)
            ADD_FAILURE() << expected[i].first.toStdString() << " differs:\n" << firstDifference(actual[i].second, expected[i].second);
    }
}

std::shared_ptr<IXBranchNode> rootTitled(IXDocumentNode& document, const QString& title)
{
    for (const auto& node : document.rootBranches()) {
        if (node->title() == title) return std::static_pointer_cast<IXBranchNode>(node);
    }
    return nullptr;
}

std::shared_ptr<IXBranchNode> childTitled(const IXBranchNode& parent, const QString& title)
{
    for (const auto& branch : parent.branches()) {
        if (branch->title() == title) return branch;
    }
    return nullptr;
}

}  // namespace

TEST(IXDocumentModel, RichDocumentSurvivesSaveAndReopen)
{
    FixedClock clock;
    FakeApplicationServices services;
    const auto built = makeRichDocument();
    // Every node is given its id, as the views do; the titles are left unread.
    forEachNode(*built, [](IXNode& node) { node.uniqueId(); });
    const QByteArray first = save(*built);
    const Parts firstParts = packageParts(first);
    // Every entry carries the time of the save, folders included.
    const std::optional<UTZipArchive> archive = UTZipArchive::fromData(first);
    ASSERT_TRUE(archive);
    for (const UTZipArchiveItem& item : archive->items())
        EXPECT_EQ(item.modificationDate(), QDateTime(QDate(2009, 4, 21), QTime(10, 30))) << item.name().toStdString();

    const auto reopened = reopen(first);
    ASSERT_TRUE(reopened);
    readEverything(*reopened);
    const QByteArray second = save(*reopened);
    const Parts secondParts = packageParts(second);
    const auto again = reopen(second);
    ASSERT_TRUE(again);
    readEverything(*again);
    expectSameParts(packageParts(save(*again)), secondParts);

    // The same parts in the same places, the unknown ones untouched; "contents.xml" differs
    // only by the default titles that reading stored ("(untitled)" for references and "Idea"
    // for the untitled branch, which are written from then on).
    ASSERT_EQ(namesOf(secondParts), namesOf(firstParts));
    EXPECT_LT(namesOf(firstParts).indexOf(QStringLiteral("custom/extra.bin")), namesOf(firstParts).indexOf(QStringLiteral("contents.xml")));
    for (qsizetype i = 0; i < firstParts.size(); ++i) {
        if (firstParts[i].first == QLatin1String("contents.xml")) continue;
        EXPECT_EQ(secondParts[i].second, firstParts[i].second) << firstParts[i].first.toStdString();
    }
    QByteArray contents = partNamed(secondParts, QStringLiteral("contents.xml"));
    EXPECT_TRUE(contents.contains(R"x( title="(untitled)" export="1")x"));
    contents.replace(R"x( title="(untitled)" export="1")x", "");
    EXPECT_EQ(contents.count(R"x("><title>Idea</title></branch>)x"), 1);
    contents.replace(R"x("><title>Idea</title></branch>)x", R"x("/>)x");
    EXPECT_EQ(contents, partNamed(firstParts, QStringLiteral("contents.xml")));

    // And the reopened document holds what was built.
    const auto project = rootTitled(*reopened, QStringLiteral("Project"));
    ASSERT_TRUE(project);
    EXPECT_EQ(reopened->userName(), QStringLiteral("Test Author"));
    EXPECT_EQ(reopened->timeScaleType(), 3);
    EXPECT_EQ(project->icons(), (QStringList{"star", "flag", "star"}));
    EXPECT_EQ(project->beginDate()->hour(), 14);
    ASSERT_EQ(project->textnotes().size(), 2);
    EXPECT_EQ(project->textnotes()[0]->textString(), QStringLiteral("A note in plain RTF.\nSecond line."));
    EXPECT_TRUE(project->textnotes()[1]->text().hasAttachments());
    EXPECT_FALSE(project->picture()->image().isNull());
    EXPECT_EQ(project->style()->branchLineWidth(), 2.5f);
    const auto weeks = childTitled(*project, QStringLiteral("Weeks"));
    const auto months = childTitled(*project, QStringLiteral("Months"));
    const auto days = childTitled(*project, QStringLiteral("Days"));
    ASSERT_TRUE(weeks && months && days);
    EXPECT_TRUE(weeks->beginDate()->isWeeks());
    EXPECT_TRUE(months->beginDate()->isMonths());
    EXPECT_TRUE(days->beginDate()->isDays());
    EXPECT_TRUE(days->branches()[0]->beginDate()->isHours());
    EXPECT_FALSE(weeks->includeInExport());
    EXPECT_EQ(project->connections()[0]->targetNode(), weeks);
    EXPECT_EQ(reopened->pictures()[0]->floatingTargetNode(), months);
    EXPECT_EQ(reopened->comments()[0]->floatingTargetNode(), days->branches()[0]);
    EXPECT_EQ(reopened->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(weeks.get())->branchLayoutType(), 3);
    EXPECT_EQ(reopened->layoutForName(IXLayoutTimelineName)->styleSheet()->styleForNode(days->branches()[0].get())->branchLineWidth(), 4);
    EXPECT_EQ(reopened->userInterfaceOptions().value(QStringLiteral("view")), 2);
    EXPECT_EQ(reopened->ignoredWords(), (QStringList{"Ideaflux", "mindmap"}));
    EXPECT_TRUE(QVariant(reopened->additionalFolders().info()).toMap().contains(QStringLiteral("plans")));
}

namespace {

// Edits of every kind, one undo step each.
void editEverything(IXDocumentNode& document)
{
    const auto project = rootTitled(document, QStringLiteral("Project"));
    const auto second = rootTitled(document, QStringLiteral("Second root"));
    ASSERT_TRUE(project && second);
    const auto months = childTitled(*project, QStringLiteral("Months"));
    const auto weeks = childTitled(*project, QStringLiteral("Weeks"));
    const auto days = childTitled(*project, QStringLiteral("Days"));
    ASSERT_TRUE(months && weeks && days);
    const auto hours = days->branches()[0];
    const auto untitled = project->branches().last();
    const std::vector<std::function<void()>> steps = {
        [&] { project->setTitle(QStringLiteral("Renamed project")); },
        [&] { untitled->setTitle(QStringLiteral("Now titled")); },
        [&] {
            weeks->setEndDate(UTDateTime::fromWeeks(20, 1));
            hours->setBeginDate(UTDateTime::fromHours(200));  // after its end: the end follows
            days->setBeginDate(std::nullopt);
        },
        [&] {
            project->appendIcon(QStringLiteral("new"));
            project->removeIcon(QStringLiteral("star"));
            months->setIcons({QStringLiteral("one")});
        },
        [&] { months->setIncludeInExport(false); },
        [&] { project->insertBranch(branchTitled(QStringLiteral("Inserted")), 1); },
        [&] { project->moveBranchAtIndex(4, 0); },
        [&] { project->insertBranch(weeks, -1); },  // already a sub-branch: moves
        [&] { second->insertBranch(hours, 0); },     // to another parent, keeping its floating comment
        [&] { project->removeBranch(months); },      // takes its floating picture along
        [&] { project->setPicture(nullptr); },
        [&] { second->addPicture()->setTargetRef(QStringLiteral("local:floating.png")); },
        [&] { project->comment()->setTitle(QStringLiteral("Changed remark")); },
        [&] { second->addComment()->setTitle(QStringLiteral("New remark")); },
        [&] { project->textnotes()[0]->setTextString(QStringLiteral("Rewritten note")); },
        [&] { project->addTextnote()->setTextString(QStringLiteral("Another note")); },
        [&] { project->removeReference(project->textnotes()[1]); },
        [&] { project->connections()[0]->setTargetNode(days); },
        [&] { second->addConnection()->setTargetNode(project); },
        [&] { second->addReference(linkTo(QStringLiteral("https://example.com/"), IXReferenceNode::SubtypeWeb, QStringLiteral("Added"))); },
        [&] { project->removeReference(project->attachments()[0]); },
        [&] {
            project->attachments()[0]->setTitle(QStringLiteral("Mail"));
            project->attachments()[1]->setTargetRef(QStringLiteral("file:/srv/shared/plans/plan-2.txt"));
        },
        [&] {
            auto comment = std::make_shared<IXCommentNode>();
            document.addComment(comment);
            comment->setTitle(QStringLiteral("Floating and new"));
            comment->setFloatingTargetNode(untitled);
        },
        [&] { document.removeComment(document.comments().last()); },
        [&] { project->style()->setBranchLineWidth(5); },
        [&] { document.layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(weeks.get())->setBranchLayoutType(2); },
        [&] { second->setCollapsed(true, true); },
        [&] { document.setTimeScaleType(1); },
        [&] { document.addRootBranch(project->copyBranch()); },  // a copy with its floating nodes and styles
        [&] { document.removeRootBranch(second); },
        [&] { project->resetDates(); },
        [&] { document.setUserName(QStringLiteral("Someone Else")); },
    };
    for (const auto& step : steps) {
        step();
        endTurn();
    }
}

}  // namespace

TEST(IXDocumentModel, EditsOfEveryKindUndoAndRedoExactly)
{
    FixedClock clock;
    FakeApplicationServices services;
    const auto document = reopen(save(*makeRichDocument()));
    ASSERT_TRUE(document);
    readEverything(*document);
    PLUndoManager undo;
    document->setUndoManager(&undo);
    const Parts original = packageParts(save(*document));

    editEverything(*document);
    const Parts edited = packageParts(save(*document));
    EXPECT_NE(partNamed(edited, QStringLiteral("contents.xml")), partNamed(original, QStringLiteral("contents.xml")));

    int steps = 0;
    while (undo.canUndo()) {
        undo.undo();
        ++steps;
    }
    EXPECT_EQ(steps, 32);
    // Parts that the edited document's save added (the new notes' texts) stay in the package,
    // behind the original ones, as every part that no node writes any more.
    Parts undone = packageParts(save(*document));
    ASSERT_GE(undone.size(), original.size());
    for (const auto& added : undone.mid(original.size())) EXPECT_FALSE(namesOf(original).contains(added.first));
    expectSameParts(undone.mid(0, original.size()), original);

    while (undo.canRedo()) undo.redo();
    expectSameParts(packageParts(save(*document)), edited);
    undo.removeAllActions();
    document->setUndoManager(nullptr);
}
