#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXNodeIndex.h"

#include <gtest/gtest.h>

namespace {

QList<IXNode*> nodesOf(const IXNodeIndex& index, const QString& uid)
{
    const IXNodeIndex::Nodes nodes = index.nodes(uid);
    return QList<IXNode*>(nodes.begin(), nodes.end());
}

}  // namespace

// Ids of the program's form are kept as numbers, others as text: either way only the exact
// text of an id finds its nodes.
TEST(IXNodeIndex, AnIdMatchesOnlyItsExactText)
{
    const QString made = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
    const struct {
        const char* uid;
        bool found;
    } cases[] = {
        {"0123456789ABCDEF0123456789ABCDEF", true},
        {"0123456789abcdef0123456789abcdef", false},  // case matters
        {"0123456789ABCDEF0123456789ABCDE", false},   // one digit short
        {"0123456789ABCDEF0123456789ABCDEF0", false},
        {"00123456789ABCDEF0123456789ABCDE", false},  // same digits, shifted
        {"", false},
    };
    IXNode node;
    IXNodeIndex index;
    index.insert(made, &node);
    for (const auto& c : cases) {
        EXPECT_EQ(nodesOf(index, QString::fromLatin1(c.uid)), c.found ? QList<IXNode*>{&node} : QList<IXNode*>()) << c.uid;
    }

    // Text ids, among them a lower-case form of the id above.
    IXNode other;
    for (const QString& uid : {QStringLiteral("A"), QStringLiteral("0123456789abcdef0123456789abcdef"),
                               QStringLiteral("0123456789ABCDEF0123456789ABCDEG")}) {
        index.insert(uid, &other);
        EXPECT_EQ(nodesOf(index, uid), QList<IXNode*>{&other}) << uid.toStdString();
    }
    EXPECT_EQ(nodesOf(index, made), QList<IXNode*>{&node});
    EXPECT_EQ(index.size(), 4);
    index.insert(QString(), &other);
    EXPECT_EQ(index.size(), 4);
}

TEST(IXNodeIndex, RepeatedIdsKeepTheirOrderAndLeaveOneByOne)
{
    for (const QString& uid : {QStringLiteral("FEDCBA9876543210FEDCBA9876543210"), QStringLiteral("B7")}) {
        IXNode first;
        IXNode second;
        IXNode third;
        IXNodeIndex index;
        index.reserve(100);
        index.insert(uid, &first);
        index.insert(uid, &second);
        index.insert(uid, &third);
        EXPECT_EQ(nodesOf(index, uid), (QList<IXNode*>{&first, &second, &third})) << uid.toStdString();
        index.remove(uid, &second);
        EXPECT_EQ(nodesOf(index, uid), (QList<IXNode*>{&first, &third})) << uid.toStdString();
        index.insert(uid, &first);
        index.insert(uid, &second);
        EXPECT_EQ(nodesOf(index, uid), (QList<IXNode*>{&first, &third, &first, &second})) << uid.toStdString();
        index.remove(uid, &first);  // every entry of the node
        index.remove(uid, &second);
        index.remove(QStringLiteral("FF"), &third);  // another id: nothing leaves
        EXPECT_EQ(nodesOf(index, uid), QList<IXNode*>{&third}) << uid.toStdString();
        index.remove(uid, &third);
        EXPECT_TRUE(index.nodes(uid).isEmpty()) << uid.toStdString();
        EXPECT_EQ(index.size(), 0);
    }
}
