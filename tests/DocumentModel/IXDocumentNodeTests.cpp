#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "IXTestNodes.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Text/PLSpellChecker.h"
#include "Platform/XML/PLXMLDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using NodeList = IXDocumentNode::NodeList;

struct DocumentNodeTest : ::testing::Test {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    RecordingObserver observer;

    void SetUp() override { document->addToObservers(&observer); }
};

QStringList titles(const NodeList& nodes)
{
    QStringList list;
    for (const auto& node : nodes) list << node->title();
    return list;
}

}  // namespace

TEST_F(DocumentNodeTest, InsertRootBranchPlacesByIndex)
{
    const struct {
        int index;
        QStringList expected;
    } cases[] = {
        {-1, {"a", "b", "new"}},
        {2, {"a", "b", "new"}},  // index equal to the count appends
        {0, {"new", "a", "b"}},
        {1, {"a", "new", "b"}},
        {7, {"a", "b", "new"}},  // beyond the count appends
        {-2, {"a", "b"}},        // below -1: nothing happens
    };
    for (const auto& c : cases) {
        auto doc = std::make_shared<IXDocumentNode>();
        doc->addRootBranch(makeBranch(QStringLiteral("a")));
        doc->addRootBranch(makeBranch(QStringLiteral("b")));
        auto added = makeBranch(QStringLiteral("new"));
        doc->insertRootBranch(added, c.index);
        EXPECT_EQ(titles(doc->rootBranches()), c.expected) << c.index;
        EXPECT_EQ(added->documentNode(), c.index < -1 ? nullptr : doc.get()) << c.index;
    }
    document->insertRootBranch(nullptr, 0);
    EXPECT_TRUE(observer.take().isEmpty());
}

TEST_F(DocumentNodeTest, ListsHoldEachNodeOnceAndRemoveOnlyTheirOwn)
{
    auto a = makeBranch(QStringLiteral("a"));
    auto b = makeBranch(QStringLiteral("b"));
    document->addRootBranch(a);
    document->addRootBranch(b);
    document->insertRootBranch(a, -1);  // moves instead of listing twice
    EXPECT_EQ(titles(document->rootBranches()), (QStringList{"b", "a"}));
    document->setBranches({a, b, a});
    EXPECT_EQ(titles(document->rootBranches()), (QStringList{"a", "b"}));
    observer.take();

    // A branch that is not a root branch keeps its real parent.
    auto sub = makeBranch(QStringLiteral("sub"));
    a->addChild(sub);
    document->removeRootBranch(sub);
    EXPECT_EQ(sub->parentNode(), a.get());
    EXPECT_EQ(sub->documentNode(), document.get());
    EXPECT_TRUE(observer.take().filter(QStringLiteral("document")).isEmpty());

    // A listed node that another node of the document has taken in is still listed once
    // when it is added again.
    auto comment = std::make_shared<TestComment>();
    document->addComment(comment);
    comment->setParentNode(a.get());
    document->addComment(comment);
    EXPECT_EQ(document->comments(), IXDocumentNode::NodeList{comment});
    EXPECT_EQ(comment->parentNode(), document.get());

    // Removing the list's own element by reference is safe.
    document->removeRootBranch(document->rootBranches().first());
    EXPECT_EQ(titles(document->rootBranches()), QStringList{"b"});
    EXPECT_EQ(a->documentNode(), nullptr);
}

TEST_F(DocumentNodeTest, SetBranchesReparentsOnlyTheDifference)
{
    auto kept = makeBranch(QStringLiteral("kept"));
    auto dropped = makeBranch(QStringLiteral("dropped"));
    auto added = makeBranch(QStringLiteral("added"));
    document->setBranches({kept, dropped});
    observer.take();

    document->setBranches({added, kept});
    EXPECT_EQ(observer.take(), (QStringList{"detach dropped", "attach added", "document rootBranches"}));
    EXPECT_EQ(dropped->parentNode(), nullptr);
    EXPECT_EQ(added->parentNode(), document.get());

    document->setBranches({added, kept});  // equal: nothing
    document->setBranches(document->rootBranches());
    EXPECT_TRUE(observer.take().isEmpty());
}

TEST_F(DocumentNodeTest, FloatingNodesGoToTheirLists)
{
    auto picture = std::make_shared<TestPicture>();
    auto comment = std::make_shared<TestComment>();
    auto branch = makeBranch(QStringLiteral("b"));
    document->addFloatingNode(picture);
    document->addFloatingNode(comment);
    document->addFloatingNode(branch);  // neither: ignored
    EXPECT_EQ(document->pictures(), NodeList{picture});
    EXPECT_EQ(document->comments(), NodeList{comment});
    EXPECT_TRUE(document->rootBranches().isEmpty());
    EXPECT_TRUE(comment->madePlainText);
    EXPECT_TRUE(picture->isFloating());
    EXPECT_EQ(observer.take().filter(QStringLiteral("document")), (QStringList{"document pictures", "document comments"}));

    document->addRootBranch(branch);
    picture->setTarget(branch);
    comment->setTarget(branch);
    EXPECT_EQ(document->picturesLinkedTo(branch.get()), NodeList{picture});
    EXPECT_EQ(document->commentsLinkedTo(branch.get()), NodeList{comment});
    EXPECT_EQ(document->nodesLinkedTo(branch.get()), (NodeList{picture, comment}));
    EXPECT_TRUE(document->nodesLinkedTo(picture.get()).isEmpty());

    EXPECT_EQ(document->pictureForId(picture->uniqueId()), picture);
    EXPECT_EQ(document->commentForId(comment->uniqueId()), comment);
    EXPECT_EQ(document->pictureForId(comment->uniqueId()), nullptr);

    document->removeFloatingNode(picture);
    document->removeFloatingNode(comment);
    EXPECT_TRUE(document->pictures().isEmpty());
    EXPECT_TRUE(document->comments().isEmpty());
    EXPECT_EQ(picture->documentNode(), nullptr);
}

TEST_F(DocumentNodeTest, IdIndexFollowsAttachAndDetach)
{
    auto root = makeBranch(QStringLiteral("root"));
    auto child = makeBranch(QStringLiteral("child"));
    auto plain = std::make_shared<IXNode>();
    root->addChild(child);
    child->addChild(plain);
    const QString childId = child->uniqueId();  // made before attaching
    document->addRootBranch(root);
    const QString plainId = plain->uniqueId();  // made while attached

    EXPECT_EQ(document->nodeForId(childId), child);
    EXPECT_EQ(document->branchForId(childId), child);
    EXPECT_EQ(document->nodeForId(plainId), plain);
    EXPECT_EQ(document->branchForId(plainId), nullptr);  // not a branch
    EXPECT_EQ(document->nodeForId(document->uniqueId()), document);
    EXPECT_EQ(document->nodeForId(QString()), nullptr);
    EXPECT_EQ(document->nodeForId(QStringLiteral("0123456789ABCDEF0123456789ABCDEF")), nullptr);

    root->removeChild(child);
    EXPECT_EQ(document->nodeForId(childId), nullptr);
    EXPECT_EQ(document->nodeForId(plainId), nullptr);
    document->addRootBranch(child);
    EXPECT_EQ(document->nodeForId(plainId), plain);
}

TEST_F(DocumentNodeTest, HasConnectionsFollowsTheConnectionsThatAttachAndLeave)
{
    auto root = std::make_shared<IXBranchNode>();
    document->addRootBranch(root);
    auto carrier = std::make_shared<IXBranchNode>();
    const auto connection = carrier->addConnection();
    const auto other = carrier->addConnection();
    EXPECT_FALSE(document->hasConnections());  // detached connections do not count

    root->insertBranch(carrier, -1);
    EXPECT_TRUE(document->hasConnections());
    carrier->removeReference(connection);
    EXPECT_TRUE(document->hasConnections());  // one is left
    carrier->removeReference(other);
    EXPECT_FALSE(document->hasConnections());

    carrier->addReference(connection);
    EXPECT_TRUE(document->hasConnections());
    root->removeBranch(carrier);  // leaves with its sub-branch's connection
    EXPECT_FALSE(document->hasConnections());
    document->addRootBranch(carrier);
    EXPECT_TRUE(document->hasConnections());
    document->removeRootBranch(carrier);
    EXPECT_FALSE(document->hasConnections());
}

TEST_F(DocumentNodeTest, RepeatedIdsResolveToTheFirstAttached)
{
    // A damaged file may give two nodes one id: look-ups stay defined and safe.
    auto first = makeBranch(QStringLiteral("first"));
    auto second = makeBranch(QStringLiteral("second"));
    PLXMLDocument xml("branch");
    xml.rootElement().setAttribute("uid", QStringLiteral("AAAA"));
    ASSERT_TRUE(first->initWithParent(nullptr, xml.rootElement(), nullptr));
    ASSERT_TRUE(second->initWithParent(nullptr, xml.rootElement(), nullptr));
    document->addRootBranch(first);
    document->addRootBranch(second);
    EXPECT_EQ(document->nodeForId(QStringLiteral("AAAA")), first);
    document->removeRootBranch(first);
    EXPECT_EQ(document->nodeForId(QStringLiteral("AAAA")), second);
    EXPECT_EQ(document->branchForId(QStringLiteral("AAAA")), second);
}

TEST_F(DocumentNodeTest, DocumentNameFromPathElseFirstTitle)
{
    EXPECT_EQ(document->documentName(), QString());
    document->addRootBranch(makeBranch(QStringLiteral(" Plans\nfor\r\n2024\n")));
    EXPECT_EQ(document->documentName(), QStringLiteral("Plans for 2024"));
    document->setWorkingPath(QStringLiteral("/home/user/Maps/Project.v2.ixd"));
    EXPECT_EQ(document->documentName(), QStringLiteral("Project.v2"));
}

TEST_F(DocumentNodeTest, UserNameAndModificationDateFallBack)
{
    EXPECT_FALSE(document->userName().isEmpty());
    document->setUserName(QStringLiteral("Ann"));
    EXPECT_EQ(document->userName(), QStringLiteral("Ann"));
    document->setUserName(QStringLiteral("Ann"));
    EXPECT_EQ(observer.take(), QStringList{"document userName"});

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.ixd"));
    const QDateTime stamp = QDateTime::fromString(QStringLiteral("2020-02-03T04:05:06"), Qt::ISODate);
    const auto touch = [&path](const QDateTime& time) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.setFileTime(time, QFileDevice::FileModificationTime);
    };
    ASSERT_TRUE(touch(stamp));
    document->setWorkingPath(path);
    EXPECT_EQ(document->modificationDate(), stamp);
    // Stored from then on.
    ASSERT_TRUE(touch(stamp.addDays(1)));
    EXPECT_EQ(document->modificationDate(), stamp);

    auto unsaved = std::make_shared<IXDocumentNode>();
    EXPECT_LE(qAbs(unsaved->modificationDate().secsTo(QDateTime::currentDateTime())), 5);
}

TEST_F(DocumentNodeTest, SpellTagsAreUniquePerDocument)
{
    auto other = std::make_shared<IXDocumentNode>();
    const int tag = document->spellDocumentTag();
    EXPECT_NE(tag, 0);
    EXPECT_EQ(document->spellDocumentTag(), tag);
    EXPECT_NE(other->spellDocumentTag(), tag);
    // No other spell document of the process (a text editor's own) gets the same tag.
    for (int i = 0; i < 64; ++i) EXPECT_NE(PLSpellChecker::uniqueSpellDocumentTag(), tag);
}

TEST_F(DocumentNodeTest, ValidationDropsFolderKeysWithoutEntryAndReachesChildren)
{
    struct ValidatingBranch : TestBranch {
        using TestBranch::TestBranch;
        int validated = 0;
        void validateContent() override { ++validated; }
    };
    auto branch = std::make_shared<ValidatingBranch>(QStringLiteral("b"));
    document->addRootBranch(branch);
    QVariantMap& folders = document->additionalFolders().info();
    folders.insert(IXAdditionalFolders::FoldersKey, QStringList{"kept", "gone"});
    folders.insert(QStringLiteral("kept"), QVariantMap{{"path", "/x/kept"}});
    document->validateContent();
    EXPECT_EQ(document->additionalFolders().info().value(IXAdditionalFolders::FoldersKey).toStringList(), QStringList{"kept"});
    EXPECT_EQ(branch->validated, 1);
}

TEST(IXDocumentNodeUndoCounter, EnableWithoutDisableIsAProgrammingError)
{
    auto document = std::make_shared<IXDocumentNode>();
    try {
        document->enableUndo();
        FAIL() << "no assertion";
    } catch (const PLAssertionFailure& failure) {
        EXPECT_EQ(failure.condition(), "_undoDisabled > 0");
    }
    document->disableUndo();
    document->disableUndo();
    document->enableUndo();
    EXPECT_FALSE(document->isUndoEnabled());
    document->enableUndo();
    EXPECT_TRUE(document->isUndoEnabled());
}
