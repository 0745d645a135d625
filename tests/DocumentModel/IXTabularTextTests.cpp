// Branches as tab-indented text and back: the text of copied branches, and the trees that
// text from other programs gives, from a table of inputs (tabs, spaces, blank lines, CRLF and
// indents that jump).
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXTabularText.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

QString outline(IXBranchNode& branch)
{
    QStringList children;
    for (const auto& child : branch.branches()) children << outline(*child);
    return branch.storedTitle() + (children.isEmpty() ? QString() : QStringLiteral("(%1)").arg(children.join(u' ')));
}

QString outline(const QList<std::shared_ptr<IXBranchNode>>& roots)
{
    QStringList parts;
    for (const auto& root : roots) parts << outline(*root);
    return parts.join(QStringLiteral(" "));
}

TEST(IXTabularTextTest, TextBecomesTheTreeItsIndentsDescribe)
{
    const struct {
        const char* text;
        const char* tree;
    } cases[] = {
        {"Alpha\n\tBeta\n\tGamma\nDelta", "Alpha(Beta Gamma) Delta"},
        {"Alpha\n  Beta\n  Gamma\nDelta", "Alpha(Beta Gamma) Delta"},
        {"Alpha\r\n\tBeta\r\n\r\n\n\t\r\n\tGamma\r\nDelta\r\n", "Alpha(Beta Gamma) Delta"},
        {"Alpha\r\tBeta\rDelta", "Alpha(Beta) Delta"},
        {"A\n\tB\nC", "A(B) C"},
        {"  Title with  inner  spaces \t\n", "Title with  inner  spaces"},
        // A line three levels below the one before is its direct child.
        {"Alpha\n\t\t\tDeep\n\tNext", "Alpha(Deep Next)"},
        // Coming back to a level between two earlier ones stays under the shallower one.
        {"Alpha\n\t\tDeep\n\tMiddle\nOmega", "Alpha(Deep Middle) Omega"},
        {"Alpha\n\t\tDeep\n\t\t\tDeeper\n\tMiddle", "Alpha(Deep(Deeper) Middle)"},
        // A first line that is indented is still a root, and so are its shallower followers.
        {"\t\tIndented\n\tLess\nLeast", "Indented Less Least"},
        {"", ""},
        {"\n\r\n \t ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(outline(IXTabularText::branchesFromText(QString::fromUtf8(c.text))), QString::fromUtf8(c.tree));
    }
}

TEST(IXTabularTextTest, BranchesBecomeOneLinePerBranchIndentedByDepthAndReadBackAlike)
{
    const auto roots = IXTabularText::branchesFromText(QStringLiteral("Main\n\tSub\n\t\tLeaf\n\tOther\nSecond"));
    roots.first()->branches().first()->setTitle(QStringLiteral(" \tSpaced\n "));
    const QString text = IXTabularText::textFromBranches(roots);
    EXPECT_EQ(text, QStringLiteral("Main\n\tSpaced\n\t\tLeaf\n\tOther\nSecond\n"));
    EXPECT_EQ(IXTabularText::textFromBranch(*roots.first()->branches().first(), 2),
              QStringLiteral("\t\tSpaced\n\t\t\tLeaf\n"));
    EXPECT_EQ(outline(IXTabularText::branchesFromText(text)), QStringLiteral("Main(Spaced(Leaf) Other) Second"));
    // A branch without a title shows its default title.
    EXPECT_EQ(IXTabularText::textFromBranches({std::make_shared<IXBranchNode>()}), QStringLiteral("Subject\n"));
    EXPECT_EQ(IXTabularText::levelForString(u" \t x\t"), 3);
}

}  // namespace
