// The branch inspector: what its controls show for one, two and no selected branches, that
// each control changes every selected branch in one undo step, the dates and their alert, the
// sections per layout and selection, and rebinding to the active window.
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "IXInspectorTestSupport.h"
#include "Inspectors/IXBranchInspector.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectorView.h"
#include "Utilities/UTDateTimeFormatter.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const PLColor Red = PLColor::rgb(1, 0, 0);
const PLColor Green = PLColor::rgb(0, 1, 0);

// A document with a root branch "Root" and its children "A" and "B", shown in the mind map.
class BranchInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_controller.m_layout = m_controller.m_document->layoutForName(QStringLiteral("mindmap"));
        m_root = m_controller.addBranch(QStringLiteral("Root"));
        for (const char* title : {"A", "B"}) {
            auto branch = std::make_shared<IXBranchNode>();
            branch->setTitle(QString::fromUtf8(title));
            m_root->insertBranch(branch, int(m_children.size()));
            m_children.push_back(branch);
        }
        spinEventLoop();
        m_controller.m_undo.removeAllActions();
        m_inspector = std::make_unique<IXBranchInspector>();
        m_inspector->inspectorView();
        m_inspector->setTracksControllerSelection(true);
        m_inspector->setController(&m_controller);
    }

    void select(const QList<std::shared_ptr<IXBranchNode>>& branches)
    {
        IXSelection::NodeList nodes;
        for (const auto& branch : branches) nodes.append(branch);
        m_controller.select(IXSelection::selectionWithArray(nodes));
        spinEventLoop();
    }
    void selectChildren() { select({m_children[0], m_children[1]}); }
    std::shared_ptr<IXStyleNode> styleOf(const std::shared_ptr<IXBranchNode>& branch)
    {
        return m_controller.m_layout->styleSheet()->styleForNode(branch.get());
    }
    QStringList sectionNames()
    {
        QStringList names;
        for (QWidget* section : m_inspector->shownSections()) names.append(section->objectName().mid(8));
        return names;
    }

    FakeInspectedController m_controller;
    std::shared_ptr<IXBranchNode> m_root;
    QList<std::shared_ptr<IXBranchNode>> m_children;
    std::unique_ptr<IXBranchInspector> m_inspector;
};

TEST_F(BranchInspectorTest, ControlsShowTheValueMultipleValuesOrNoSelection)
{
    for (const auto& child : m_children) {
        styleOf(child)->setBranchLineColor(Red);
        styleOf(child)->setBranchFrameType(0);
    }
    styleOf(m_children[0])->setBranchTextColor(Green);
    m_children[1]->setIncludeInExport(false);

    select({m_children[0]});
    EXPECT_EQ(m_inspector->inspectorTitle(), "Branch");
    EXPECT_EQ(m_inspector->titleField()->text(), "A");
    EXPECT_TRUE(m_inspector->titleField()->placeholderText().isEmpty());
    EXPECT_EQ(m_inspector->textColorWell()->mixedColor(), IXMixedValue<PLColor>(Green));
    EXPECT_EQ(m_inspector->exportBox()->checkState(), Qt::Checked);
    // Without a frame the frame's colours do not apply.
    EXPECT_TRUE(m_inspector->frameColorWell()->mixedColor().isNotApplicable());
    EXPECT_FALSE(m_inspector->frameColorWell()->isEnabled());

    selectChildren();
    EXPECT_TRUE(m_inspector->titleField()->text().isEmpty());
    EXPECT_EQ(m_inspector->titleField()->placeholderText(), "Multiple Values");
    EXPECT_TRUE(m_inspector->titleField()->isEnabled());
    EXPECT_TRUE(m_inspector->textColorWell()->mixedColor().isMultipleValues());
    EXPECT_EQ(m_inspector->lineColorWell()->mixedColor(), IXMixedValue<PLColor>(Red));
    EXPECT_EQ(m_inspector->exportBox()->checkState(), Qt::PartiallyChecked);
    // Frames that differ only in type show their common colour.
    styleOf(m_children[0])->setBranchFrameType(1);
    styleOf(m_children[1])->setBranchFrameType(2);
    spinEventLoop();
    EXPECT_FALSE(m_inspector->frameColorWell()->mixedColor().isNotApplicable());
    EXPECT_TRUE(m_inspector->frameColorWell()->isEnabled());

    select({});
    EXPECT_FALSE(m_inspector->isApplicable());
    EXPECT_EQ(m_inspector->titleField()->placeholderText(), "No Selection");
    EXPECT_FALSE(m_inspector->titleField()->isEnabled());
    EXPECT_TRUE(m_inspector->lineColorWell()->mixedColor().isNoSelection());
    EXPECT_FALSE(m_inspector->lineColorWell()->isEnabled());
    EXPECT_FALSE(m_inspector->exportBox()->isEnabled());
    EXPECT_EQ(m_inspector->lineWidthBox()->specialValueText(), "No Selection");
}

TEST_F(BranchInspectorTest, EachControlChangesEverySelectedBranchInOneUndoStep)
{
    for (const auto& child : m_children) styleOf(child)->setBranchFrameType(1);
    styleOf(m_children[0])->setBoundaryShow(true);
    spinEventLoop();
    m_controller.m_undo.removeAllActions();
    selectChildren();
    IXBranchInspector& ins = *m_inspector;
    using Branch = std::shared_ptr<IXBranchNode>;
    struct Case {
        const char* name;
        std::function<void()> change;
        std::function<bool(const Branch&)> changed;
    };
    const auto style = [this](const Branch& b) { return styleOf(b); };
    const QList<Case> cases = {
        {"title",
         [&] {
             QTest::keyClicks(ins.titleField(), "Same");
             QTest::keyClick(ins.titleField(), Qt::Key_Return);
         },
         [](const Branch& b) { return b->title() == "Same"; }},
        {"alignment", [&] { emit ins.alignmentPopUp()->activated(ins.alignmentPopUp()->findData(1)); },
         [&](const Branch& b) { return style(b)->branchTextAlignment() == 1; }},
        {"text colour", [&] { ins.textColorWell()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->branchTextColor() == Red; }},
        {"text background", [&] { ins.textBackgroundColorWell()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->branchTextBackgroundColor() == Red; }},
        {"frame colour", [&] { ins.frameColorWell()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->branchFrameLineColor() == Red; }},
        {"fill colour", [&] { ins.frameFillColorWell1()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->branchFrameFillColor() == Red; }},
        {"second fill colour", [&] { ins.frameFillColorWell2()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->branchFrameFillAltColor() == Red; }},
        {"line colour", [&] { ins.lineColorWell()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->branchLineColor() == Red; }},
        {"line width", [&] { ins.lineWidthBox()->setValue(7); },
         [&](const Branch& b) { return style(b)->branchLineWidth() == 7; }},
        {"export", [&] { ins.exportBox()->click(); }, [](const Branch& b) { return !b->includeInExport(); }},
        // Differing values: the partly checked box turns on for all.
        {"boundary", [&] { ins.boundaryShowBox()->click(); },
         [&](const Branch& b) { return style(b)->boundaryShow(); }},
        {"boundary line colour", [&] { ins.boundaryLineColorWell()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->boundaryLineColor() == Red; }},
        {"boundary fill colour", [&] { ins.boundaryFillColorWell()->takeColor(Red); },
         [&](const Branch& b) { return style(b)->boundaryFillColor() == Red; }},
        {"boundary style", [&] { emit ins.boundaryStylePopUp()->activated(ins.boundaryStylePopUp()->findData(2)); },
         [&](const Branch& b) { return style(b)->boundaryLineDash() == 2; }},
        {"boundary width", [&] { ins.boundaryWidthBox()->setValue(3); },
         [&](const Branch& b) { return style(b)->boundaryLineWidth() == 3; }},
        {"boundary roundness", [&] { ins.boundaryRoundnessBox()->setValue(20); },
         [&](const Branch& b) { return style(b)->boundaryLineRoundness() == 20; }},
    };
    PLUndoManager& undo = m_controller.m_undo;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto count = [&] { return std::count_if(m_children.begin(), m_children.end(), c.changed); };
        const auto before = count();
        ASSERT_LT(before, 2);
        c.change();
        spinEventLoop();
        EXPECT_EQ(count(), 2);
        ASSERT_TRUE(undo.canUndo());
        undo.undo();
        spinEventLoop();
        EXPECT_EQ(count(), before) << "one undo restores every branch";
        EXPECT_FALSE(undo.canUndo()) << "the change was one step";
        undo.redo();
        EXPECT_EQ(count(), 2);
        undo.undo();
        undo.removeAllActions();
        spinEventLoop();
    }
}

TEST_F(BranchInspectorTest, ColourDialogServesTheLastWellClickedAndShowingNeverWrites)
{
    selectChildren();
    IXColorWell* line = m_inspector->lineColorWell();
    IXColorWell* text = m_inspector->textColorWell();
    QSignalSpy chosen(line, &IXColorWell::colorChosen);
    line->show();
    QTest::mouseClick(line, Qt::LeftButton);
    ASSERT_TRUE(line->isActive());
    QColorDialog* dialog = IXColorWell::colorDialog();
    EXPECT_TRUE(dialog->isVisible());
    dialog->setCurrentColor(QColor(0, 0, 255));
    for (const auto& child : m_children) EXPECT_EQ(styleOf(child)->branchLineColor(), PLColor::rgb(0, 0, 1));
    spinEventLoop();
    EXPECT_EQ(chosen.count(), 1) << "the refresh after the change announces nothing";

    // Another well takes the dialog over; the first one hears no more.
    text->activate();
    EXPECT_FALSE(line->isActive());
    dialog->setCurrentColor(QColor(0, 255, 0));
    EXPECT_EQ(chosen.count(), 1);
    for (const auto& child : m_children) EXPECT_EQ(styleOf(child)->branchTextColor(), PLColor::rgb(0, 1, 0));
    // With nothing selected the well lets the dialog go.
    select({});
    EXPECT_FALSE(text->isActive());
    dialog->hide();
}

TEST_F(BranchInspectorTest, LeavingAMixedFieldKeepsTheDifferingValues)
{
    selectChildren();
    QLineEdit* field = m_inspector->titleField();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(m_children[0]->title(), "A");
    EXPECT_EQ(m_children[1]->title(), "B");
    EXPECT_FALSE(m_controller.m_undo.canUndo());
}

TEST_F(BranchInspectorTest, DatesShowCommonValuesAndAnEndBeforeTheBeginIsRefused)
{
    FakeApplicationServices services;
    UTDateTimeFormatter format(UTDateTimeFormatter::formatTypeForTimeScale(0));
    const UTDateTime begin = UTDateTime::fromYears(2020, 3, 1);
    const UTDateTime laterBegin = UTDateTime::fromYears(2021, 3, 1);
    QLineEdit* beginField = m_inspector->beginDateField();
    QLineEdit* endField = m_inspector->endDateField();

    // No dates: both empty without a placeholder, and no end before a begin.
    selectChildren();
    EXPECT_TRUE(beginField->text().isEmpty());
    EXPECT_TRUE(beginField->placeholderText().isEmpty());
    EXPECT_TRUE(beginField->isEnabled());
    EXPECT_FALSE(endField->isEnabled());

    m_children[0]->setBeginDate(begin);
    m_children[1]->setBeginDate(laterBegin);
    spinEventLoop();
    EXPECT_EQ(beginField->placeholderText(), "Multiple Values");
    EXPECT_TRUE(endField->isEnabled());

    // The begin field takes one date for all.
    beginField->setText(format.stringForObjectValue(begin));
    emit beginField->editingFinished();
    spinEventLoop();
    EXPECT_EQ(m_children[1]->beginDate(), begin);
    EXPECT_EQ(beginField->text(), format.stringForObjectValue(begin));

    // An end before the begin: the alert, the field cleared, nothing changed.
    m_controller.m_undo.removeAllActions();
    endField->setText(format.stringForObjectValue(UTDateTime::fromYears(2019, 1, 1)));
    emit endField->editingFinished();
    ASSERT_EQ(services.alerts.size(), 1);
    EXPECT_EQ(services.alerts[0], "The value can not be applied|The date is invalid or out of range.|OK");
    EXPECT_TRUE(endField->text().isEmpty());
    for (const auto& child : m_children) EXPECT_FALSE(child->endDate());
    EXPECT_FALSE(m_controller.m_undo.canUndo());

    // Under differing begin dates each branch's own begin counts.
    m_children[1]->setBeginDate(laterBegin);
    spinEventLoop();
    endField->setText(format.stringForObjectValue(UTDateTime::fromYears(2020, 6, 1)));
    emit endField->editingFinished();
    EXPECT_EQ(services.alerts.size(), 2);
    for (const auto& child : m_children) EXPECT_FALSE(child->endDate());

    // A valid end date reaches every branch and drops a second end date of an earlier end.
    m_children[1]->setBeginDate(begin);
    m_children[0]->setEndDate2(UTDateTime::fromYears(2022, 1, 1));
    spinEventLoop();
    const UTDateTime end = UTDateTime::fromYears(2020, 9, 1);
    endField->setText(format.stringForObjectValue(end));
    emit endField->editingFinished();
    EXPECT_EQ(services.alerts.size(), 2);
    for (const auto& child : m_children) {
        EXPECT_EQ(child->endDate(), end);
        EXPECT_EQ(child->endDate2(), end);
    }
}

TEST_F(BranchInspectorTest, SectionsFollowTheLayoutTheRootAndTheBoundary)
{
    select({m_root});
    EXPECT_EQ(m_inspector->inspectorTitle(), "Root Branch");
    m_inspector->inspectorView();
    EXPECT_EQ(sectionNames(), QStringList({"TextColorsSection", "DatesSection"}));
    select({m_root, m_children[0]});
    EXPECT_EQ(m_inspector->inspectorTitle(), "Branch");

    selectChildren();
    m_inspector->inspectorView();
    EXPECT_EQ(sectionNames(), QStringList({"TextColorsSection", "LineSection", "DatesSection", "OptionsSection"}));

    // A boundary turned on elsewhere (here: undo of turning it off) shows the section, with
    // one view update however many styles changed.
    int updates = 0;
    PLNotificationCenter::defaultCenter().addObserver(&updates, IXInspectorViewUpdateNotification, nullptr,
                                                      [&](const PLNotification&) { ++updates; });
    for (const auto& child : m_children) styleOf(child)->setBoundaryShow(true);
    spinEventLoop();
    EXPECT_TRUE(m_inspector->hasBoundary());
    EXPECT_EQ(updates, 1);
    m_inspector->inspectorView();
    EXPECT_EQ(sectionNames().last(), "BoundarySection");
    m_controller.m_undo.undo();
    spinEventLoop();
    EXPECT_FALSE(m_inspector->hasBoundary());
    EXPECT_EQ(updates, 2);
    PLNotificationCenter::defaultCenter().removeObserver(&updates);

    m_controller.m_documentLayout = IXBranchInspector::OutlineLayout;
    m_inspector->reloadSelection();
    m_inspector->inspectorView();
    EXPECT_EQ(sectionNames(), QStringList({"TextColorsSection", "OutlineSection", "DatesSection"}));

    m_controller.m_documentLayout = IXBranchInspector::PrintLayout;
    m_inspector->reloadSelection();
    EXPECT_FALSE(m_inspector->isApplicable());
}

TEST_F(BranchInspectorTest, ABranchMovedToTheTopBecomesTheRootBranch)
{
    select({m_children[0]});
    EXPECT_EQ(m_inspector->inspectorTitle(), "Branch");
    int updates = 0;
    PLNotificationCenter::defaultCenter().addObserver(&updates, IXInspectorViewUpdateNotification, nullptr,
                                                      [&](const PLNotification&) { ++updates; });
    m_root->removeBranch(m_children[0]);
    EXPECT_FALSE(m_inspector->isApplicable());
    select({m_children[0]});
    m_controller.m_document->addRootBranch(m_children[0]);
    spinEventLoop();
    PLNotificationCenter::defaultCenter().removeObserver(&updates);
    EXPECT_EQ(m_inspector->inspectorTitle(), "Root Branch");
    EXPECT_EQ(updates, 1);
    m_inspector->inspectorView();
    EXPECT_EQ(sectionNames(), QStringList({"TextColorsSection", "DatesSection"}));
}

TEST_F(BranchInspectorTest, DetachedBranchClearsTheSelectionAndOtherChangesAreIgnored)
{
    selectChildren();
    // A change of a branch that is not selected posts no refresh.
    m_root->setTitle(QStringLiteral("Other"));
    EXPECT_FALSE(m_inspector->isUpdatePosted());
    m_children[0]->setTitle(QStringLiteral("A2"));
    EXPECT_TRUE(m_inspector->isUpdatePosted());
    spinEventLoop();
    m_root->removeBranch(m_children[1]);
    EXPECT_FALSE(m_inspector->isApplicable());
}

TEST(BranchInspectorWindowsTest, SwitchingTheActiveWindowRebindsTheInspector)
{
    FakeInspectedController first;
    FakeInspectedController second;
    FakeControllerLookup lookup({&first, &second});
    for (FakeInspectedController* controller : {&first, &second}) {
        controller->m_layout = controller->m_document->layoutForName(QStringLiteral("mindmap"));
        auto branch = controller->addBranch(controller == &first ? QStringLiteral("First") : QStringLiteral("Second"));
        controller->select(IXSelection::selectionWithNode(branch));
    }
    IXBranchInspector inspector;
    inspector.inspectorView();
    inspector.setTracksActiveController(true);
    IXInspectorController::windowDidBecomeMain(first.window());
    spinEventLoop();
    EXPECT_EQ(inspector.titleField()->text(), "First");
    IXInspectorController::windowDidBecomeMain(second.window());
    spinEventLoop();
    EXPECT_EQ(inspector.titleField()->text(), "Second");
    IXInspectorController::windowWillClose(second.window());
    spinEventLoop();
    EXPECT_FALSE(inspector.isApplicable());
}

}  // namespace
