// The map inspector: its sections per layout, values read from the layout's style, changes
// as one undo step each, the opaque branch fill, the time-scale change with its confirmation,
// and the print controls, which need the window's printing view.
#include "DocumentModel/IXFakeServices.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXMindMapInspector.h"
#include "MapLayout/IXPrintLayoutViewing.h"
#include "MapLayout/IXPrintingViewing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FakePrinting : public IXPrintingViewing, public IXPrintLayoutViewing {
public:
    std::shared_ptr<IXLayoutNode> layout;
    int fits = 0;
    bool limited = false;
    std::shared_ptr<IXLayoutNode> layoutNode() const override { return layout; }
    void scaleToFitPages() override { ++fits; }
    void scaleToActualSize() override { }
    bool printingAreaEnabled() const override { return true; }
    bool printingArea() const override { return limited; }
    void setPrintingArea(bool area) override { limited = area; }
};

class PrintingController : public FakeInspectedController {
public:
    IXPrintingViewing* printingView() const override { return m_printing; }
    IXPrintLayoutViewing* printLayoutView() const override { return m_printing; }
    FakePrinting* m_printing = nullptr;
};

class MindMapInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inspector.inspectorView();
        m_inspector.setTracksControllerSelection(true);
        m_inspector.setController(&m_map.controller);
        m_map.select({m_map.a});
    }
    void showLayout(int layout)
    {
        m_map.controller.m_documentLayout = layout;
        m_inspector.reloadSelection();
        m_inspector.inspectorView();
        spinEventLoop();
    }
    QStringList sectionNames()
    {
        QStringList names;
        for (QWidget* section : m_inspector.shownSections()) names.append(section->objectName().mid(5));
        return names;
    }
    IXStyleNode& style() { return *m_map.controller.m_layout->style(); }

    InspectorFixtureMap m_map;
    IXMindMapInspector m_inspector;
};

TEST_F(MindMapInspectorTest, SectionsAndTitleFollowTheLayout)
{
    const struct {
        int layout;
        const char* title;
        QStringList sections;
    } cases[] = {
        {0,
         "Mind Map View",
         {"DocumentInfoSection", "DisplaySection", "SpacingSection", "TimeInfoSection", "ColorsSection"}},
        {2,
         "Left Right View",
         {"DocumentInfoSection", "DisplaySection", "LeftRightSection", "SpacingSection", "TimeInfoSection",
          "ColorsSection"}},
        {3, "Outline View", {"DocumentInfoSection", "TimeInfoSection", "OutlineSection"}},
        {4, "Timeline View", {"DocumentInfoSection", "TimeInfoSection", "TimelineSection", "TimelineScaleSection"}},
        {9, "Print View", {"DocumentInfoSection", "PrintSection"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        showLayout(c.layout);
        EXPECT_EQ(m_inspector.inspectorTitle(), c.title);
        EXPECT_EQ(sectionNames(), c.sections);
        saveShots(m_inspector.inspectorView(), QStringLiteral("mindmap-layout%1").arg(c.layout));
    }
}

TEST_F(MindMapInspectorTest, ValuesComeFromTheLayoutStyleAndEachChangeIsOneUndoStep)
{
    style().setDocumentGapVertical(12.7F);
    m_map.controller.m_document->setUserName(QStringLiteral("Ada"));
    spinEventLoop();
    m_map.controller.m_undo.removeAllActions();
    EXPECT_EQ(m_inspector.verticalGapBox()->value(), 12);
    EXPECT_EQ(m_inspector.authorField()->text(), "Ada");

    // A translucent fill is stored opaque and clears the second fill colour.
    style().setBranchFrameFillAltColor(PLColor::rgb(0, 0, 1));
    spinEventLoop();
    m_map.controller.m_undo.removeAllActions();
    m_inspector.branchFillColorWell()->takeColor(PLColor::rgb(1, 0, 0, 0.25F));
    spinEventLoop();
    EXPECT_EQ(style().branchFrameFillColor(), PLColor::rgb(1, 0, 0, 1));
    EXPECT_EQ(style().branchFrameFillAltColor(), PLColor::clear());
    m_map.undo();
    EXPECT_EQ(style().branchFrameFillAltColor(), PLColor::rgb(0, 0, 1));

    // The gap is stored as the whole number typed, and undone in one step.
    m_inspector.verticalGapBox()->setValue(30);
    spinEventLoop();
    EXPECT_EQ(style().documentGapVertical(), 30.0F);
    m_map.undo();
    EXPECT_FLOAT_EQ(style().documentGapVertical(), 12.7F);

    // Without a controller everything reads as no selection.
    m_inspector.setController(nullptr);
    spinEventLoop();
    EXPECT_TRUE(m_inspector.documentWordWrap().isNoSelection());
    EXPECT_FALSE(m_inspector.wordWrapBox()->isEnabled());
}

TEST_F(MindMapInspectorTest, TimeScaleChangeAsksAndClearsBeginDatesOnlyWhenConfirmed)
{
    FakeApplicationServices services;
    const UTDateTime begin = UTDateTime::fromYears(2020, 3, 1);
    for (const auto& branch : {m_map.a, m_map.b}) branch->setBeginDate(begin);
    spinEventLoop();
    m_map.controller.m_undo.removeAllActions();
    QComboBox* popUp = m_inspector.timeScalePopUp();

    services.confirms = false;
    emit popUp->activated(popUp->findData(3));
    spinEventLoop();
    ASSERT_EQ(services.confirmations.size(), 1);
    EXPECT_EQ(services.confirmations[0],
              "Do you really want to change the time scale?|The begin dates of all branches "
              "will be removed. You can undo this change.|OK|Cancel");
    EXPECT_EQ(m_map.controller.m_document->timeScaleType(), 0);
    EXPECT_EQ(m_map.a->beginDate(), begin);
    EXPECT_EQ(popUp->currentData().toInt(), 0);

    services.confirms = true;
    emit popUp->activated(popUp->findData(3));
    spinEventLoop();
    EXPECT_EQ(m_map.controller.m_document->timeScaleType(), 3);
    EXPECT_FALSE(m_map.a->beginDate());
    EXPECT_FALSE(m_map.b->beginDate());
    EXPECT_EQ(popUp->currentData().toInt(), 3);
    m_map.undo();
    EXPECT_EQ(m_map.controller.m_document->timeScaleType(), 0);
    EXPECT_EQ(m_map.a->beginDate(), begin);
    EXPECT_EQ(m_map.b->beginDate(), begin);
}

TEST_F(MindMapInspectorTest, PrintControlsNeedThePrintingView)
{
    PrintingController controller;
    controller.m_layout = controller.m_document->layoutForName(QStringLiteral("mindmap"));
    controller.m_documentLayout = 9;
    m_inspector.setController(&controller);
    m_inspector.inspectorView();
    spinEventLoop();
    EXPECT_FALSE(m_inspector.fitButton()->isEnabled());
    EXPECT_FALSE(m_inspector.actualSizeButton()->isEnabled());
    EXPECT_FALSE(m_inspector.printingAreaBox()->isEnabled());
    EXPECT_TRUE(m_inspector.printMapScale().isNoSelection());

    FakePrinting printing;
    printing.layout = controller.m_document->layoutForName(QStringLiteral("print"));
    controller.m_printing = &printing;
    m_inspector.reloadSelection();
    spinEventLoop();
    ASSERT_TRUE(m_inspector.fitButton()->isEnabled());
    QTest::mouseClick(m_inspector.fitButton(), Qt::LeftButton);
    EXPECT_EQ(printing.fits, 1);
    printing.layout->style()->setPrintMapScale(2.5F);
    spinEventLoop();
    QTest::mouseClick(m_inspector.actualSizeButton(), Qt::LeftButton);
    EXPECT_EQ(printing.layout->style()->printMapScale(), 1.0F);
    m_inspector.printingAreaBox()->click();
    EXPECT_TRUE(printing.limited);
    m_inspector.setController(nullptr);
}

}  // namespace
