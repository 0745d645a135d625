#include "UtilityWidgets/UTControlsFrameBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(UTControlsFrameBox, DisabledBoxReachesControlsAtEveryDepth)
{
    UTControlsFrameBox box(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(&box);
    auto* nested = new QWidget(&box);
    auto* nestedLayout = new QVBoxLayout(nested);
    auto* deeper = new QWidget(nested);
    auto* button = new QPushButton(QStringLiteral("Apply"), deeper);
    button->setGeometry(0, 0, 80, 24);
    auto* check = new QCheckBox(QStringLiteral("Bold"), nested);
    nestedLayout->addWidget(deeper);
    nestedLayout->addWidget(check);
    layout->addWidget(nested);
    box.resize(200, 120);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy clicks(button, &QPushButton::clicked);

    EXPECT_TRUE(box.isEnabled());
    box.setEnabled(false);
    EXPECT_FALSE(box.isEnabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(check->isEnabled());
    // The frame itself keeps its look.
    EXPECT_TRUE(box.QWidget::isEnabled());
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(clicks.count(), 0);

    box.setEnabled(true);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(check->isEnabled());
    EXPECT_TRUE(deeper->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(clicks.count(), 1);
}
