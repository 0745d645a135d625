#include "UtilityWidgets/UTToolbarItem.h"

#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLResources.h"
#include "TestSupport/QStringPrinter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class Validator : public QObject, public UTToolbarItemValidating {
public:
    bool validateToolbarItem(UTToolbarItem* item) override
    {
        asked << item->itemIdentifier();
        return answer;
    }
    bool answer = true;
    QStringList asked;
};

// Resources with a "toolbar" table that names one item's texts and picture.
class UTToolbarItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = PLResources::directory();
        ASSERT_TRUE(folder.isValid());
        QDir(folder.path()).mkpath(QStringLiteral("Strings"));
        QDir(folder.path()).mkpath(QStringLiteral("Images"));
        QFile table(folder.filePath(QStringLiteral("Strings/toolbar.json")));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write(R"({"AddBranchCaption": "Add Branch", "AddBranchToolTip": "Adds a sub-branch", "AddBranchImage": "addbranch"})");
        table.close();
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("Images/addbranch.png"))));
        use(folder.path());
    }
    void TearDown() override { use(previous); }
    static void use(const QString& directory)
    {
        PLResources::setDirectory(directory);
        PLLocalizedStrings::clearCache();
        PLNamedImages::clearCache();
    }

    QTemporaryDir folder;
    QString previous;
};

} // namespace

TEST_F(UTToolbarItemTest, TextsAndPictureComeFromTheTable)
{
    std::unique_ptr<UTToolbarItem> item(UTToolbarItem::ixToolbarItemWithIdentifier(QStringLiteral("AddBranch")));
    EXPECT_EQ(item->itemIdentifier(), QStringLiteral("AddBranch"));
    EXPECT_EQ(item->text(), QStringLiteral("Add Branch"));
    EXPECT_EQ(item->iconText(), QStringLiteral("Add Branch"));
    EXPECT_EQ(item->toolTip(), QStringLiteral("Adds a sub-branch"));
    EXPECT_FALSE(item->icon().isNull());

    std::unique_ptr<UTToolbarItem> missing(UTToolbarItem::ixToolbarItemWithIdentifier(QStringLiteral("Print")));
    EXPECT_EQ(missing->text(), QStringLiteral("Print"));
    EXPECT_EQ(missing->toolTip(), QStringLiteral("Print"));
    EXPECT_TRUE(missing->icon().isNull());
}

TEST_F(UTToolbarItemTest, ValidationSizesTheButtonAndAsksTheTarget)
{
    QToolBar toolbar;
    auto* item = UTToolbarItem::ixToolbarItemWithIdentifier(QStringLiteral("AddBranch"), &toolbar);
    toolbar.addAction(item);
    auto* button = qobject_cast<QToolButton*>(toolbar.widgetForAction(item));
    ASSERT_TRUE(button);
    Validator validator;
    item->setTarget(&validator);

    toolbar.setIconSize(QSize(16, 16));
    item->validate();
    EXPECT_EQ(button->iconSize(), QSize(24, 24));
    toolbar.setIconSize(QSize(32, 32));
    validator.answer = false;
    item->validate();
    EXPECT_EQ(button->iconSize(), QSize(32, 32));
    EXPECT_FALSE(item->isEnabled());
    validator.answer = true;
    item->validate();
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(validator.asked, QStringList(3, QStringLiteral("AddBranch")));

    // Without a target that validates, the state is left alone.
    item->setEnabled(false);
    item->setTarget(&toolbar);
    item->validate();
    EXPECT_FALSE(item->isEnabled());
}
