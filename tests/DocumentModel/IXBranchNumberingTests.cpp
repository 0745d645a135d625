#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXBranchNumbering.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

// A document whose first root has three children, the second of which has two, the second of
// those one more.
struct NumberingTest : ::testing::Test {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::shared_ptr<IXBranchNode> root = std::make_shared<IXBranchNode>();
    QList<std::shared_ptr<IXBranchNode>> children;
    QList<std::shared_ptr<IXBranchNode>> grandchildren;
    std::shared_ptr<IXBranchNode> deepest = std::make_shared<IXBranchNode>();

    void SetUp() override
    {
        document->addRootBranch(root);
        for (int i = 0; i < 3; ++i) {
            children << std::make_shared<IXBranchNode>();
            root->insertBranch(children.last(), -1);
        }
        for (int i = 0; i < 2; ++i) {
            grandchildren << std::make_shared<IXBranchNode>();
            children[1]->insertBranch(grandchildren.last(), -1);
        }
        grandchildren[1]->insertBranch(deepest, -1);
    }

    static QString number(int scheme, const std::shared_ptr<IXBranchNode>& branch)
    {
        return IXBranchNumbering::outlineBranchNumber(scheme, branch.get());
    }
};

}  // namespace

TEST_F(NumberingTest, SingleRootIsNotNumbered)
{
    EXPECT_TRUE(number(1, root).isNull());
    EXPECT_EQ(number(1, children[0]), QStringLiteral("1. "));
    EXPECT_EQ(number(1, children[2]), QStringLiteral("3. "));
    EXPECT_EQ(number(1, grandchildren[0]), QStringLiteral("2.1. "));
    EXPECT_EQ(number(1, grandchildren[1]), QStringLiteral("2.2. "));
    for (const auto& branch : {root, children[1], deepest}) EXPECT_TRUE(number(0, branch).isNull());
}

TEST_F(NumberingTest, TwoRootsAreNumbered)
{
    auto other = std::make_shared<IXBranchNode>();
    document->addRootBranch(other);
    EXPECT_EQ(number(1, root), QStringLiteral("1. "));
    EXPECT_EQ(number(1, other), QStringLiteral("2. "));
    EXPECT_EQ(number(1, children[1]), QStringLiteral("1.2. "));
    EXPECT_EQ(number(1, deepest), QStringLiteral("1.2.2.1. "));
}

TEST_F(NumberingTest, SchemesRepeatAndStop)
{
    struct Case {
        int scheme;
        QString child, grandchild, deepest;
    } cases[] = {
        {24, "ii.", "ii.b.", "ii.b.i."},   // the third level repeats the first code
        {35, "II.", "II.B.", "II.B.I."},
        {120, "2.", "2.ii.", QString()},   // a last digit 0 stops from its level on
        {10, "2.", QString(), QString()},
        {102, "2.", "2..", "2..i."},       // a 0 in between leaves an empty piece
        {19, "2.", "2..", "2..1."},         // an unknown code too
    };
    for (const Case& test : cases) {
        EXPECT_EQ(IXBranchNumbering::numbering(QString::number(test.scheme), children[1].get()), test.child) << test.scheme;
        EXPECT_EQ(IXBranchNumbering::numbering(QString::number(test.scheme), grandchildren[1].get()), test.grandchild) << test.scheme;
        EXPECT_EQ(IXBranchNumbering::numbering(QString::number(test.scheme), deepest.get()), test.deepest) << test.scheme;
    }
}

TEST_F(NumberingTest, TheBranchsStyleFindsTheDocumentsScheme)
{
    EXPECT_TRUE(IXBranchNumbering::outlineBranchNumberForNode(*grandchildren[0]->style(), grandchildren[0].get()).isNull());
    document->style()->setOutlineBranchNumbering(24);
    EXPECT_EQ(IXBranchNumbering::outlineBranchNumberForNode(*grandchildren[0]->style(), grandchildren[0].get()),
              QStringLiteral("ii.a. "));
}

TEST_F(NumberingTest, BranchesOutsideTheDocument)
{
    auto loose = std::make_shared<IXBranchNode>();
    auto below = std::make_shared<IXBranchNode>();
    loose->insertBranch(below, -1);
    // Without a document there are no root branches: the loose branch is like a single root.
    EXPECT_TRUE(number(1, loose).isNull());
    EXPECT_EQ(number(1, below), QStringLiteral("1. "));
    EXPECT_TRUE(IXBranchNumbering::outlineBranchNumber(1, nullptr).isNull());
}

TEST(IXBranchNumberingForms, RomanNumbers)
{
    struct Case {
        int n;
        const char* text;
    } cases[] = {{1, "i"}, {2, "ii"}, {3, "iii"}, {4, "iv"}, {5, "v"}, {6, "vi"}, {7, "vii"}, {8, "viii"},
                 {9, "ix"}, {10, "x"}, {14, "xiv"}, {40, "xxxx"}, {49, "xxxxix"}, {50, "xxxxx"}};
    for (const Case& test : cases) {
        EXPECT_EQ(IXBranchNumbering::romanNumber(test.n, false), QLatin1String(test.text)) << test.n;
        EXPECT_EQ(IXBranchNumbering::romanNumber(test.n, true), QString::fromLatin1(test.text).toUpper()) << test.n;
    }
    EXPECT_EQ(IXBranchNumbering::romanNumber(415, false), QString(41, QLatin1Char('x')) + "v");
    EXPECT_EQ(IXBranchNumbering::romanNumber(425, false), QString(41, QLatin1Char('x')));  // units left out
    EXPECT_EQ(IXBranchNumbering::romanNumber(100000, true), QString(41, QLatin1Char('X')));
}

TEST(IXBranchNumberingForms, LetterNumbers)
{
    struct Case {
        qsizetype n;
        const char* text;
    } cases[] = {{1, "a"}, {26, "z"}, {27, "aa"}, {52, "az"}, {53, "ba"}, {702, "zz"}, {703, "aaa"}};
    for (const Case& test : cases) {
        EXPECT_EQ(IXBranchNumbering::letterNumber(test.n, false), QLatin1String(test.text)) << test.n;
        EXPECT_EQ(IXBranchNumbering::letterNumber(test.n, true), QString::fromLatin1(test.text).toUpper()) << test.n;
    }
    EXPECT_LE(IXBranchNumbering::letterNumber(std::numeric_limits<qsizetype>::max(), false).size(), 41);
}
