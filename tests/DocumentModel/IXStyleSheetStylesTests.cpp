// What sheets and nodes keep of style look-ups holds while the change count stands still, so
// every change of a sheet's styles and links, and of a style's own values, must move it; and
// a style the sheet lets go must leave it, so that nothing kept can name it as the sheet's.
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXStyleSheetStyles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

std::shared_ptr<IXStyleNode> makeStyle(const QString& ref = {})
{
    auto style = std::make_shared<IXStyleNode>();
    style->setRefId(ref);
    return style;
}

IXStyleSheetStyles::StyleList makeMasters()
{
    IXStyleSheetStyles::StyleList masters;
    for (int type = 0; type < IXStyleSheetStyles::MasterCount; ++type) masters.append(makeStyle());
    return masters;
}

TEST(IXStyleSheetStyles, EveryChangeMovesTheCountAndReleasedStylesLeaveTheSheet)
{
    const auto sheet = std::make_shared<IXStyleSheetNode>();
    const auto masterSheet = std::make_shared<IXStyleSheetNode>();
    IXStyleSheetStyles styles(*sheet);
    const auto first = makeStyle(QStringLiteral("A"));
    const auto second = makeStyle(QStringLiteral("A"));
    const auto masters = makeMasters();
    const auto otherMasters = makeMasters();
    const auto extraMaster = makeStyle();
    const auto shared = makeStyle();
    const auto otherShared = makeStyle();

    struct Step {
        const char* label;
        std::function<void()> change;
        std::shared_ptr<IXStyleNode> released;
    };
    const std::vector<Step> steps = {
        {"adopt a node style", [&] { EXPECT_EQ(styles.adoptNodeStyle(first), nullptr); }, nullptr},
        {"replace it", [&] { EXPECT_EQ(styles.adoptNodeStyle(second), first); }, first},
        {"set the masters", [&] { styles.setMasters(masters); }, nullptr},
        {"replace a master", [&] { styles.replaceMaster(3, extraMaster); }, masters[3]},
        {"set other masters", [&] { styles.setMasters(otherMasters); }, masters[0]},
        {"adopt a shared style", [&] { styles.adoptSharedStyle(2, shared); }, nullptr},
        {"replace it", [&] { styles.adoptSharedStyle(2, otherShared); }, shared},
        {"link a master sheet", [&] { styles.setMasterSheet(masterSheet.get()); }, nullptr},
        {"set a value", [&] { second->setBranchLineWidth(3); }, nullptr},
        {"set a master link", [&] { otherMasters[4]->setMaster(2); }, nullptr},
        {"remove a value", [&] { second->setValue(IXStyleValue(), IXStyleKey::BranchLineWidth); }, nullptr},
        {"release everything", [&] { styles.releaseAll(); }, second},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        const std::uint64_t before = IXStyleSheetStyles::changeCount();
        step.change();
        EXPECT_GT(IXStyleSheetStyles::changeCount(), before);
        if (step.released) EXPECT_EQ(step.released->styleSheet(), nullptr);
        for (const auto& style : styles.nodeStyles()) EXPECT_EQ(style->styleSheet(), sheet.get());
        for (const auto& style : styles.masters()) EXPECT_EQ(style->styleSheet(), sheet.get());
        for (const auto& style : styles.sharedStyles()) {
            if (style) EXPECT_EQ(style->styleSheet(), sheet.get());
        }
    }
    EXPECT_FALSE(styles.hasNodeStyles());
    EXPECT_TRUE(styles.masters().isEmpty());
    EXPECT_EQ(extraMaster->styleSheet(), nullptr);
}

}  // namespace
