#include "UtilityWidgets/UTViewAdditions.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(UTViewAdditions, RemoveAllSubviewsHandsTheChildrenOver)
{
    QWidget view;
    auto* layout = new QVBoxLayout(&view);
    QPointer<QLabel> kept = new QLabel(QStringLiteral("kept"));
    layout->addWidget(kept);
    QPointer<QLabel> dropped = new QLabel(QStringLiteral("dropped"), &view);
    QPointer<QWidget> grandchild = new QLabel(QStringLiteral("inner"), dropped);
    QWidget window(&view, Qt::Tool);

    auto removed = UTViewAdditions::removeAllSubviews(&view);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_TRUE(view.findChildren<QLabel*>().isEmpty());
    EXPECT_EQ(layout->count(), 0);
    EXPECT_EQ(window.parentWidget(), &view); // a window parented to the view is no content
    EXPECT_EQ(kept->parentWidget(), nullptr);
    EXPECT_EQ(grandchild->parentWidget(), dropped.data());

    // What the caller keeps lives on; the rest goes with the list.
    for (auto& child : removed)
        if (child.get() == kept) (void)child.release();
    removed.clear();
    EXPECT_TRUE(kept);
    EXPECT_FALSE(dropped);
    EXPECT_FALSE(grandchild);
    delete kept;
}
