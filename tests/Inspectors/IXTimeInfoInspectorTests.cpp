// The time info inspector: dates shown for the selected branches, the end before the begin
// refused as in the branch inspector, and the time-scale change asked for first.
#include "DocumentModel/IXFakeServices.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXTimeInfoInspector.h"
#include "Utilities/UTDateTimeFormatter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TimeInfoInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inspector.inspectorView();
        m_inspector.setTracksControllerSelection(true);
        m_inspector.setController(&m_map.controller);
    }
    void TearDown() override { m_inspector.setController(nullptr); }
    void typeInto(QLineEdit* field, const QString& text)
    {
        field->setText(text);
        emit field->editingFinished();
        spinEventLoop();
    }

    FakeApplicationServices m_services;
    InspectorFixtureMap m_map;
    IXTimeInfoInspector m_inspector;
    UTDateTimeFormatter m_format {UTDateTimeFormatter::formatTypeForTimeScale(0)};
};

TEST_F(TimeInfoInspectorTest, DatesAreSharedAndAnEndBeforeTheBeginIsRefused)
{
    m_map.select({m_map.a, m_map.b});
    EXPECT_EQ(m_inspector.inspectorTitle(), "Timeline Info");
    EXPECT_TRUE(m_inspector.beginDateField()->text().isEmpty());
    EXPECT_TRUE(m_inspector.beginDateField()->placeholderText().isEmpty());
    EXPECT_FALSE(m_inspector.endDateField()->isEnabled());

    const UTDateTime begin = UTDateTime::fromYears(2020, 3, 1);
    typeInto(m_inspector.beginDateField(), m_format.stringForObjectValue(begin));
    EXPECT_EQ(m_map.a->beginDate(), begin);
    EXPECT_EQ(m_map.b->beginDate(), begin);
    EXPECT_TRUE(m_inspector.endDateField()->isEnabled());

    typeInto(m_inspector.endDateField(), m_format.stringForObjectValue(UTDateTime::fromYears(2019, 1, 1)));
    ASSERT_EQ(m_services.alerts.size(), 1);
    EXPECT_EQ(m_services.alerts[0], "The value can not be applied|The date is invalid or out of range.|OK");
    EXPECT_FALSE(m_map.a->endDate());
    EXPECT_TRUE(m_inspector.endDateField()->text().isEmpty());

    const UTDateTime end = UTDateTime::fromYears(2020, 9, 1);
    typeInto(m_inspector.endDateField(), m_format.stringForObjectValue(end));
    EXPECT_EQ(m_map.a->endDate(), end);
    EXPECT_EQ(m_map.b->endDate(), end);

    m_map.b->setBeginDate(UTDateTime::fromYears(2021, 1, 1));
    spinEventLoop();
    EXPECT_EQ(m_inspector.beginDateField()->placeholderText(), "Multiple Values");
    saveShots(m_inspector.inspectorView(), QStringLiteral("timeinfo-mixed"));
}

TEST_F(TimeInfoInspectorTest, RefusedTimeScaleSnapsBackAndConfirmedOneClearsBeginDates)
{
    m_map.a->setBeginDate(UTDateTime::fromYears(2020, 3, 1));
    m_map.select({m_map.a});
    QComboBox* popUp = m_inspector.scaleModePopUp();
    m_services.confirms = false;
    popUp->setCurrentIndex(2);
    emit popUp->activated(2);
    EXPECT_EQ(m_services.confirmations.size(), 1);
    EXPECT_EQ(popUp->currentIndex(), 0);
    EXPECT_TRUE(m_map.a->beginDate());
    EXPECT_EQ(m_inspector.modeDescription()->text(), IXTimeInfoInspector::descriptionOfTimeScale(0));

    m_services.confirms = true;
    emit popUp->activated(2);
    EXPECT_EQ(m_map.controller.m_document->timeScaleType(), 2);
    EXPECT_FALSE(m_map.a->beginDate());
    EXPECT_EQ(m_inspector.modeDescription()->text(), IXTimeInfoInspector::descriptionOfTimeScale(2));
    EXPECT_FALSE(m_inspector.modeDescription()->text().isEmpty());
    EXPECT_TRUE(IXTimeInfoInspector::descriptionOfTimeScale(7).isEmpty());
}

}  // namespace
