// The composite inspector stacks the inspectors that suit the selection and takes its title
// from the first that applies.
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXAttributesInspector.h"
#include "Inspectors/IXBranchInspector.h"
#include "Inspectors/IXCommentInspector.h"
#include "Inspectors/IXPictureInspector.h"

#include <gtest/gtest.h>

namespace {

TEST(AttributesInspector, StacksWhatSuitsTheSelection)
{
    InspectorFixtureMap map;
    IXAttributesInspector inspector;
    inspector.setTracksControllerSelection(true);
    inspector.setController(&map.controller);
    const auto viewOf = [&](const char* name) -> QWidget* {
        for (const auto& sub : inspector.inspectors())
            if (QString::fromUtf8(sub->metaObject()->className()) == QLatin1String(name)) return sub->inspectorView();
        return nullptr;
    };

    // A branch with a picture: the branch's sections, then the picture's.
    map.select({map.a});
    EXPECT_EQ(inspector.inspectorTitle(), "Branch");
    ASSERT_TRUE(inspector.inspectorView());
    EXPECT_EQ(inspector.shownViews(), QList<QWidget*>({viewOf("IXBranchInspector"), viewOf("IXPictureInspector")}));
    spinEventLoop();
    saveShots(inspector.inspectorView(), QStringLiteral("composite-branch-picture"));

    // A branch without one: the branch alone.
    map.select({map.c});
    inspector.inspectorView();
    EXPECT_EQ(inspector.shownViews(), QList<QWidget*>({viewOf("IXBranchInspector")}));

    map.select({map.commentN});
    EXPECT_EQ(inspector.inspectorTitle(), "Comment");
    inspector.inspectorView();
    EXPECT_EQ(inspector.shownViews(), QList<QWidget*>({viewOf("IXCommentInspector")}));

    map.select({map.linkAB});
    EXPECT_EQ(inspector.inspectorTitle(), "Connection");

    map.select({});
    EXPECT_EQ(inspector.inspectorTitle(), "Inspector");
    EXPECT_FALSE(inspector.inspectorView());

    // The document: the map inspector's title, but no view.
    map.select({map.controller.m_document});
    EXPECT_EQ(inspector.inspectorTitle(), "Mind Map View");
    EXPECT_FALSE(inspector.inspectorView());
    inspector.setController(nullptr);
}

}  // namespace
